// Accessible objects for the program's windows. Each answer to WM_GETOBJECT is Windows' own
// object for the window (CreateStdAccessibleObject) inside a thin one of ours that says the role
// and the name where the window knows better (a dialog, an alert, owner-drawn text, the traffic
// light, a link) and, for a list box that keeps no strings, its rows from the model. Everything
// else is Windows' answer: places, focus, the window's own states, navigation.
// clang-format off
#include <windows.h>  // first: the other Windows headers need its types
// clang-format on

#include "platform/win32/accessible.h"

#include <oleacc.h>

#include "platform/ui/form.h"
#include "platform/win32/module_function.h"
#include "platform/win32/wide.h"

namespace qm::win32 {
namespace {

// oleacc and oleaut32, found when a screen reader first asks; oleacc loads oleaut32 itself.
struct Calls {
    using LresultFromObjectFn = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
    using CreateStdAccessibleObjectFn = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
    using SysAllocStringLenFn = BSTR(WINAPI*)(const OLECHAR*, UINT);
    LresultFromObjectFn lresultFromObject = nullptr;
    CreateStdAccessibleObjectFn createStdAccessibleObject = nullptr;
    SysAllocStringLenFn sysAllocStringLen = nullptr;

    explicit operator bool() const { return lresultFromObject && createStdAccessibleObject && sysAllocStringLen; }
};

const Calls& calls() {
    static const Calls loaded = [] {
        Calls c;
        HMODULE oleacc = LoadLibraryW(L"oleacc.dll");
        c.lresultFromObject = moduleFunction<Calls::LresultFromObjectFn>(oleacc, "LresultFromObject");
        c.createStdAccessibleObject =
            moduleFunction<Calls::CreateStdAccessibleObjectFn>(oleacc, "CreateStdAccessibleObject");
        c.sysAllocStringLen = moduleFunction<Calls::SysAllocStringLenFn>(LoadLibraryW(L"oleaut32.dll"), "SysAllocStringLen");
        return c;
    }();
    return loaded;
}

HRESULT text(const std::wstring& value, BSTR* out) {
    *out = calls().sysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT integer(long value, VARIANT* out) {
    out->vt = VT_I4;
    out->lVal = value;
    return S_OK;
}

// The wrapper. It holds the window's handle, not the window: a reader may keep it after the window
// has gone, and then every question finds no window and is answered "gone".
class AccessibleWindow final : public IAccessible {
public:
    AccessibleWindow(HWND window, IAccessible* standard, DescribeWindow describe)
        : window_(window), standard_(standard), describe_(describe) {}
    AccessibleWindow(const AccessibleWindow&) = delete;
    AccessibleWindow& operator=(const AccessibleWindow&) = delete;

    // IUnknown. The standard object's child enumeration (its child windows) and its window
    // handle are handed out as they are; a list with rows has none of its own to hand out, so
    // readers count its rows and ask for each.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        if (iid == __uuidof(IOleWindow)) return standard_->QueryInterface(iid, out);
        AccessibleFace face;
        if (iid == __uuidof(IEnumVARIANT) && describe(face) && !face.rows) return standard_->QueryInterface(iid, out);
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0) {
            standard_->Release();
            delete this;
        }
        return static_cast<ULONG>(left);
    }

    // IDispatch: as Windows' object.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return standard_->GetTypeInfoCount(count); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return standard_->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return standard_->GetIDsOfNames(iid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT* wrong) override {
        return standard_->Invoke(id, iid, locale, flags, parameters, result, exception, wrong);
    }

    // What the window knows better.
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        AccessibleFace face;
        if (!describe(face)) return E_FAIL;
        if (!face.rows) return standard_->get_accChildCount(count);
        *count = static_cast<LONG>(face.rows->model().size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        AccessibleFace face;
        if (!describe(face)) return E_FAIL;
        if (!face.rows) return standard_->get_accChild(child, out);
        *out = nullptr;
        return row(face, child) >= 0 ? S_FALSE : E_INVALIDARG;  // a row is an element, not an object
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* out) override {
        AccessibleFace face;
        if (!describe(face)) return E_FAIL;
        if (isSelf(child) && !face.name.empty()) return text(face.name, out);
        if (const int r = row(face, child); r >= 0) return text(widen(face.rows->model().item(r)), out);
        return standard_->get_accName(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* out) override {
        AccessibleFace face;
        if (!describe(face)) return E_FAIL;
        if (isSelf(child) && face.role) return integer(face.role, out);
        if (row(face, child) >= 0) return integer(ROLE_SYSTEM_LISTITEM, out);
        return standard_->get_accRole(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* out) override {
        AccessibleFace face;
        if (!describe(face)) return E_FAIL;
        const int r = row(face, child);
        if (r < 0) {
            const HRESULT result = standard_->get_accState(child, out);
            if (SUCCEEDED(result) && isSelf(child) && out->vt == VT_I4) out->lVal |= face.state;
            return result;
        }
        long state = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
        if (r == face.rows->listIndex()) {
            state |= STATE_SYSTEM_SELECTED;
            if (GetFocus() == window_) state |= STATE_SYSTEM_FOCUSED;
        }
        return integer(state, out);
    }

    // The rest as Windows' object says.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** out) override { return standard_->get_accParent(out); }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* out) override {
        return standard_->get_accValue(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* out) override {
        return standard_->get_accDescription(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* out) override { return standard_->get_accHelp(child, out); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* out) override {
        return standard_->get_accKeyboardShortcut(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* out) override { return standard_->get_accFocus(out); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* out) override { return standard_->get_accSelection(out); }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* out) override {
        AccessibleFace face;
        if (!describe(face)) return E_FAIL;
        if (isSelf(child) && !face.action.empty()) return text(face.action, out);
        return standard_->get_accDefaultAction(child, out);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override { return standard_->accSelect(flags, child); }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override {
        return standard_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* out) override {
        return standard_->accNavigate(direction, start, out);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* out) override { return standard_->accHitTest(x, y, out); }
    // Posted, not sent: the reader's call returns at once, and the click runs from the window's own
    // queue, as a click with the mouse would.
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        AccessibleFace face;
        if (!describe(face)) return E_FAIL;
        if (!isSelf(child) || face.action.empty()) return standard_->accDoDefaultAction(child);
        const WPARAM click = MAKEWPARAM(GetDlgCtrlID(window_), BN_CLICKED);
        return PostMessageW(GetParent(window_), WM_COMMAND, click, reinterpret_cast<LPARAM>(window_)) ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override { return standard_->put_accName(child, name); }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return standard_->put_accValue(child, value);
    }

private:
    ~AccessibleWindow() = default;

    bool describe(AccessibleFace& face) const { return IsWindow(window_) && describe_(window_, face); }
    static bool isSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }
    // The model's row a child id names (ids count from 1), or -1.
    static int row(const AccessibleFace& face, const VARIANT& child) {
        if (!face.rows || child.vt != VT_I4 || child.lVal < 1) return -1;
        const auto index = static_cast<std::size_t>(child.lVal - 1);
        return index < face.rows->model().size() ? static_cast<int>(index) : -1;
    }

    LONG refs_ = 1;
    HWND window_;
    IAccessible* standard_;
    DescribeWindow describe_;
};

}  // namespace

LRESULT answerGetObject(HWND window, WPARAM wParam, LPARAM lParam, DescribeWindow describe) {
    if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT)) return 0;
    const Calls& oleacc = calls();
    if (!oleacc) return 0;
    IAccessible* standard = nullptr;
    if (FAILED(oleacc.createStdAccessibleObject(window, OBJID_CLIENT, __uuidof(IAccessible),
                                                reinterpret_cast<void**>(&standard))) ||
        !standard)
        return 0;
    auto* accessible = new AccessibleWindow(window, standard, describe);
    const LRESULT result = oleacc.lresultFromObject(__uuidof(IAccessible), wParam, accessible);
    accessible->Release();  // the reader holds it now, if it took it
    return result > 0 ? result : 0;
}

void announce(DWORD event, HWND window) {
    NotifyWinEvent(event, window, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace qm::win32
