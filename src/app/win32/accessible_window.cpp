#include "app/win32/accessible_window.h"

#include <string>

namespace v270::win32 {

namespace {

BSTR bstrOf(std::u16string_view text) {
    return SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                             static_cast<UINT>(text.size()));
}

void setChildId(VARIANT& variant, long id) {
    VariantInit(&variant);
    variant.vt = VT_I4;
    variant.lVal = id;
}

}  // namespace

long msaaRole(EntryRole role) {
    switch (role) {
        case EntryRole::PushButton:
            return ROLE_SYSTEM_PUSHBUTTON;
        case EntryRole::PageTab:
            return ROLE_SYSTEM_PAGETAB;
        case EntryRole::RadioButton:
            return ROLE_SYSTEM_RADIOBUTTON;
        case EntryRole::CheckButton:
            return ROLE_SYSTEM_CHECKBUTTON;
        case EntryRole::Text:
            return ROLE_SYSTEM_TEXT;
        case EntryRole::List:
            break;
    }
    return ROLE_SYSTEM_LIST;
}

AccessibleWindow::AccessibleWindow(HWND window, AccessibleEntrySource& source)
    : window_(window), source_(&source) {}

HRESULT AccessibleWindow::QueryInterface(REFIID id, void** object) {
    if (object == nullptr)
        return E_POINTER;
    if (id == IID_IUnknown || id == IID_IDispatch || id == kAccessibleInterfaceId) {
        *object = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG AccessibleWindow::AddRef() {
    return ++references_;
}

ULONG AccessibleWindow::Release() {
    const ULONG left = --references_;
    if (left == 0)
        delete this;
    return left;
}

HRESULT AccessibleWindow::GetTypeInfoCount(UINT* count) {
    if (count == nullptr)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT AccessibleWindow::GetTypeInfo(UINT, LCID, ITypeInfo**) {
    return E_NOTIMPL;
}

HRESULT AccessibleWindow::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}

HRESULT AccessibleWindow::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                 UINT*) {
    return E_NOTIMPL;
}

HRESULT AccessibleWindow::lookUp(const VARIANT& child, std::vector<EntryDescription>& entries,
                                 const EntryDescription*& entry) {
    entry = nullptr;
    if (source_ == nullptr)
        return RPC_E_DISCONNECTED;
    if (child.vt != VT_I4)
        return E_INVALIDARG;
    if (child.lVal == CHILDID_SELF)
        return S_OK;
    entries = source_->accessibleEntries();
    if (child.lVal < 1 || static_cast<size_t>(child.lVal) > entries.size())
        return E_INVALIDARG;
    entry = &entries[static_cast<size_t>(child.lVal) - 1];
    return S_OK;
}

HRESULT AccessibleWindow::get_accParent(IDispatch** parent) {
    if (parent == nullptr)
        return E_POINTER;
    *parent = nullptr;
    if (source_ == nullptr)
        return RPC_E_DISCONNECTED;
    return AccessibleObjectFromWindow(window_, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                      reinterpret_cast<void**>(parent));
}

HRESULT AccessibleWindow::get_accChildCount(long* count) {
    if (count == nullptr)
        return E_POINTER;
    if (source_ == nullptr)
        return RPC_E_DISCONNECTED;
    *count = static_cast<long>(source_->accessibleEntries().size());
    return S_OK;
}

HRESULT AccessibleWindow::get_accChild(VARIANT child, IDispatch** object) {
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    std::vector<EntryDescription> entries;
    const EntryDescription* entry = nullptr;
    const HRESULT found = lookUp(child, entries, entry);
    // The entries are simple elements of this object, not objects of their own.
    return FAILED(found) ? found : S_FALSE;
}

HRESULT AccessibleWindow::get_accName(VARIANT child, BSTR* name) {
    if (name == nullptr)
        return E_POINTER;
    *name = nullptr;
    std::vector<EntryDescription> entries;
    const EntryDescription* entry = nullptr;
    if (const HRESULT found = lookUp(child, entries, entry); FAILED(found))
        return found;
    if (entry == nullptr) {
        const int length = GetWindowTextLengthW(window_);
        std::wstring title(static_cast<size_t>(length) + 1, L'\0');
        GetWindowTextW(window_, title.data(), length + 1);
        *name = SysAllocString(title.c_str());
    } else {
        *name = bstrOf(entry->name);
    }
    return *name != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT AccessibleWindow::get_accValue(VARIANT, BSTR* value) {
    if (value != nullptr)
        *value = nullptr;
    return S_FALSE;
}

HRESULT AccessibleWindow::get_accDescription(VARIANT, BSTR* description) {
    if (description != nullptr)
        *description = nullptr;
    return S_FALSE;
}

HRESULT AccessibleWindow::get_accRole(VARIANT child, VARIANT* role) {
    if (role == nullptr)
        return E_POINTER;
    std::vector<EntryDescription> entries;
    const EntryDescription* entry = nullptr;
    if (const HRESULT found = lookUp(child, entries, entry); FAILED(found))
        return found;
    setChildId(*role, entry == nullptr ? ROLE_SYSTEM_CLIENT : msaaRole(entry->role));
    return S_OK;
}

HRESULT AccessibleWindow::get_accState(VARIANT child, VARIANT* state) {
    if (state == nullptr)
        return E_POINTER;
    std::vector<EntryDescription> entries;
    const EntryDescription* entry = nullptr;
    if (const HRESULT found = lookUp(child, entries, entry); FAILED(found))
        return found;
    long flags = STATE_SYSTEM_FOCUSABLE;
    if (entry == nullptr) {
        if (GetFocus() == window_)
            flags |= STATE_SYSTEM_FOCUSED;
    } else {
        flags |= STATE_SYSTEM_SELECTABLE;
        if (entry->selected)
            flags |= STATE_SYSTEM_SELECTED;
        if (entry->checked)
            flags |= STATE_SYSTEM_CHECKED;
        if (entry->focused)
            flags |= STATE_SYSTEM_FOCUSED;
    }
    setChildId(*state, flags);
    return S_OK;
}

HRESULT AccessibleWindow::get_accHelp(VARIANT, BSTR* help) {
    if (help != nullptr)
        *help = nullptr;
    return S_FALSE;
}

HRESULT AccessibleWindow::get_accHelpTopic(BSTR* file, VARIANT, long* topic) {
    if (file != nullptr)
        *file = nullptr;
    if (topic != nullptr)
        *topic = -1;
    return S_FALSE;
}

HRESULT AccessibleWindow::get_accKeyboardShortcut(VARIANT, BSTR* shortcut) {
    if (shortcut != nullptr)
        *shortcut = nullptr;
    return S_FALSE;
}

HRESULT AccessibleWindow::get_accFocus(VARIANT* child) {
    if (child == nullptr)
        return E_POINTER;
    VariantInit(child);
    if (source_ == nullptr)
        return RPC_E_DISCONNECTED;
    const std::vector<EntryDescription> entries = source_->accessibleEntries();
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].focused) {
            setChildId(*child, static_cast<long>(i + 1));
            return S_OK;
        }
    }
    if (GetFocus() == window_)
        setChildId(*child, CHILDID_SELF);
    return S_OK;
}

HRESULT AccessibleWindow::get_accSelection(VARIANT* children) {
    if (children == nullptr)
        return E_POINTER;
    VariantInit(children);
    return source_ == nullptr ? RPC_E_DISCONNECTED : S_OK;
}

HRESULT AccessibleWindow::get_accDefaultAction(VARIANT child, BSTR* action) {
    if (action == nullptr)
        return E_POINTER;
    *action = nullptr;
    std::vector<EntryDescription> entries;
    const EntryDescription* entry = nullptr;
    if (const HRESULT found = lookUp(child, entries, entry); FAILED(found))
        return found;
    if (entry == nullptr)
        return S_FALSE;
    *action = bstrOf(defaultActionName(source_->englishInterface()));
    return *action != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT AccessibleWindow::accSelect(long flags, VARIANT child) {
    std::vector<EntryDescription> entries;
    const EntryDescription* entry = nullptr;
    if (const HRESULT found = lookUp(child, entries, entry); FAILED(found))
        return found;
    if (entry == nullptr || (flags & SELFLAG_TAKEFOCUS) == 0)
        return S_FALSE;
    source_->focusAccessibleEntry(entry->entry);
    return S_OK;
}

HRESULT AccessibleWindow::accLocation(long* left, long* top, long* width, long* height,
                                      VARIANT child) {
    if (left == nullptr || top == nullptr || width == nullptr || height == nullptr)
        return E_POINTER;
    std::vector<EntryDescription> entries;
    const EntryDescription* entry = nullptr;
    if (const HRESULT found = lookUp(child, entries, entry); FAILED(found))
        return found;
    RECT area{};
    if (entry == nullptr) {
        GetClientRect(window_, &area);
    } else {
        area = RECT{entry->area.left, entry->area.top, entry->area.right, entry->area.bottom};
    }
    POINT corner{area.left, area.top};
    ClientToScreen(window_, &corner);
    *left = corner.x;
    *top = corner.y;
    *width = area.right - area.left;
    *height = area.bottom - area.top;
    return S_OK;
}

HRESULT AccessibleWindow::accNavigate(long direction, VARIANT start, VARIANT* end) {
    if (end == nullptr)
        return E_POINTER;
    VariantInit(end);
    std::vector<EntryDescription> entries;
    const EntryDescription* entry = nullptr;
    if (const HRESULT found = lookUp(start, entries, entry); FAILED(found))
        return found;
    if (entries.empty() && source_ != nullptr)
        entries = source_->accessibleEntries();
    const auto count = static_cast<long>(entries.size());
    long to = 0;
    if (entry == nullptr) {
        if (direction == NAVDIR_FIRSTCHILD)
            to = 1;
        else if (direction == NAVDIR_LASTCHILD)
            to = count;
    } else if (direction == NAVDIR_NEXT) {
        to = start.lVal + 1;
    } else if (direction == NAVDIR_PREVIOUS) {
        to = start.lVal - 1;
    }
    if (to < 1 || to > count)
        return S_FALSE;
    setChildId(*end, to);
    return S_OK;
}

HRESULT AccessibleWindow::accHitTest(long x, long y, VARIANT* child) {
    if (child == nullptr)
        return E_POINTER;
    VariantInit(child);
    if (source_ == nullptr)
        return RPC_E_DISCONNECTED;
    POINT point{x, y};
    ScreenToClient(window_, &point);
    RECT client;
    GetClientRect(window_, &client);
    if (!PtInRect(&client, point))
        return S_FALSE;
    const std::vector<EntryDescription> entries = source_->accessibleEntries();
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].area.contains(point.x, point.y)) {
            setChildId(*child, static_cast<long>(i + 1));
            return S_OK;
        }
    }
    setChildId(*child, CHILDID_SELF);
    return S_OK;
}

HRESULT AccessibleWindow::accDoDefaultAction(VARIANT child) {
    std::vector<EntryDescription> entries;
    const EntryDescription* entry = nullptr;
    if (const HRESULT found = lookUp(child, entries, entry); FAILED(found))
        return found;
    if (entry == nullptr)
        return DISP_E_MEMBERNOTFOUND;
    source_->pressAccessibleEntry(entry->entry);
    return S_OK;
}

HRESULT AccessibleWindow::put_accName(VARIANT, BSTR) {
    return E_NOTIMPL;
}

HRESULT AccessibleWindow::put_accValue(VARIANT, BSTR) {
    return E_NOTIMPL;
}

}  // namespace v270::win32
