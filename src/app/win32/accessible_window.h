#pragma once

#include <windows.h>

#include <oleacc.h>

#include <atomic>
#include <vector>

#include "ui/entry_names.h"

namespace v270::win32 {

// What the accessible object of the main window reads and asks for.
class AccessibleEntrySource {
  public:
    virtual ~AccessibleEntrySource() = default;
    // The entries of the page shown, in the order Tab visits them.
    virtual std::vector<EntryDescription> accessibleEntries() = 0;
    virtual bool englishInterface() = 0;
    virtual void focusAccessibleEntry(const FocusEntry& entry) = 0;
    // The default action; it runs once the screen reader's call has returned.
    virtual void pressAccessibleEntry(const FocusEntry& entry) = 0;
};

// The main window's client area for screen readers (MSAA): its children are the entries of the
// page shown, child ids 1..n in Tab order, each with its name in the interface language, a role,
// its rectangle on the screen, its state and the default action "Press". The window hands it out
// for WM_GETOBJECT and cuts it off when it is destroyed; a reader that still holds it then gets
// errors, never the window's freed state.
// COM interfaces have no virtual destructor: the object deletes itself in Release.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class AccessibleWindow final : public IAccessible {
  public:
    AccessibleWindow(HWND window, AccessibleEntrySource& source);
    // The window is going: every later call fails.
    void disconnect() { source_ = nullptr; }

    // IUnknown and IDispatch.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override;

    // IAccessible.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override;

  private:
    ~AccessibleWindow() = default;
    // The entries, and the one `child` names (nullptr for the window itself); E_INVALIDARG for
    // an id that names none, RPC_E_DISCONNECTED once the window is gone.
    HRESULT lookUp(const VARIANT& child, std::vector<EntryDescription>& entries,
                   const EntryDescription*& entry);

    std::atomic<ULONG> references_{1};
    HWND window_;
    AccessibleEntrySource* source_;
};
#pragma GCC diagnostic pop

// IAccessible's interface id, from its declaration: oleacc.dll exports IID_IAccessible as data,
// which its import library hands out as the address of a code thunk.
inline const IID kAccessibleInterfaceId = __uuidof(IAccessible);

// The MSAA role of an entry.
long msaaRole(EntryRole role);

}  // namespace v270::win32
