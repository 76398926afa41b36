// Feeds arbitrary bytes to the settings-file reader: it must never crash, and a write followed
// by a fresh parse of the written bytes must read back what was written.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "settings/ini_document.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using v270::IniDocument;
    const auto bytes = std::as_bytes(std::span(data, size));
    IniDocument document = IniDocument::parse(bytes);
    for (const char16_t* section : {u"Init", u"Config1", u"Macros", u"BUTTONPOS", u""}) {
        for (const char16_t* key : {u"CurConfig", u"K1", u"macroNum", u"0", u"12"}) {
            (void)document.read(section, key, 5);
            (void)document.read(section, key, 3193);
        }
    }
    document.write(u"Config1", u"K1", u"42");
    document.write(u"Fuzz", u"value", u"\"quoted\"");
    const IniDocument reread = IniDocument::parse(document.serialize());
    if (reread.read(u"Config1", u"K1", 16) != u"42")
        std::abort();
    if (reread.read(u"Fuzz", u"value", 16) != u"quoted")
        std::abort();
    return 0;
}
