// qm-e2e-driver: the end-to-end run's eyes inside Wine. It finds windows by title and class,
// reads their texts and the screen places of their parts (for xdotool to click), and watches the
// exit warning count down to the session-end request. Output is UTF-8, one answer a line.
//
//   wait-window TITLE [SECONDS] [CLASS]   screen rect of a visible top-level window (hwnd first)
//   wait-gone TITLE [SECONDS]             waits until no visible window has that title
//   child HWND CLASS TEXT [N]             screen rect of the Nth such child ("*": any text)
//   texts HWND                            class and text of every child
//   rows HWND                             how many rows a list box has
//   wait-rows HWND N [SECONDS]            says "waiting", then the row count once a list box has N
//   item HWND tab|list INDEX              screen rect of a tab or a list item
//   list                                  every top-level window: class, visibility, rect, title
//   tray                                  screen rect of the program's icon in the taskbar
//   wait-tray-icon [SECONDS]              says "waiting", then as tray once Wine's taskbar shows an icon
//   watch-warning TITLE PROCESS           times the warning from opening to the session-end request,
//                                         and says what screen readers were told meanwhile
//   read-aloud HWND                       the window and its visible parts as a screen reader reads them,
//                                         then "focus" and the part that has the focus
//   focus                                 the foreground window's title, then the role and name of the
//                                         object that has the keyboard focus as a screen reader finds it
//   user-window [SECONDS]                 a window of the user's own (an edit field in "Notes"), in front
//   tray-key select|context|balloon       the shell's message for Enter or Shift+F10 on the program's icon,
//                                         or for a click on its balloon
//   press KEY...                          keys (Down, Return, …) into Wine's input, as its keyboard does
//   hold SECONDS                          keeps Wine's desktop open, as a shell would, touching no window
// clang-format off
#include <windows.h>  // first: the other Windows headers need its types
// clang-format on

#include <commctrl.h>
#include <fcntl.h>
#include <io.h>
#include <oleacc.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/wide.h"

namespace {

using qm::narrow;
using qm::widen;

void say(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

std::string hex(HWND hwnd) {
    char text[32];
    std::snprintf(text, sizeof text, "%llx",
                  static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hwnd)));
    return text;
}

std::string rectText(const RECT& r) {
    return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " +
           std::to_string(r.bottom);
}

std::wstring textOf(HWND hwnd) {
    wchar_t text[512] = {};
    // WM_GETTEXT reaches into the other process; GetWindowText would not for its controls.
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                        nullptr);
    return text;
}

std::wstring classOf(HWND hwnd) {
    wchar_t name[128] = {};
    GetClassNameW(hwnd, name, 128);
    return name;
}

struct Search {
    std::wstring title, windowClass;
    HWND found = nullptr;
};

BOOL CALLBACK matchTopLevel(HWND hwnd, LPARAM data) {
    auto& search = *reinterpret_cast<Search*>(data);
    if (!IsWindowVisible(hwnd)) return TRUE;
    if (textOf(hwnd) != search.title) return TRUE;
    if (!search.windowClass.empty() && _wcsicmp(classOf(hwnd).c_str(), search.windowClass.c_str()) != 0)
        return TRUE;
    search.found = hwnd;
    return FALSE;
}

HWND findTopLevel(const std::wstring& title, const std::wstring& windowClass = L"") {
    Search search{title, windowClass};
    EnumWindows(matchTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND parseHwnd(const char* text) {
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(text, nullptr, 16)));
}

int waitWindow(int argc, char** argv) {
    if (argc < 3) return 2;
    const std::wstring title = widen(argv[2]);
    const double seconds = argc > 3 ? std::atof(argv[3]) : 10.0;
    const std::wstring windowClass = argc > 4 ? widen(argv[4]) : L"";
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
    do {
        if (HWND hwnd = findTopLevel(title, windowClass)) {
            RECT r{};
            GetWindowRect(hwnd, &r);
            say(hex(hwnd) + " " + rectText(r));
            return 0;
        }
        Sleep(50);
    } while (GetTickCount64() < end);
    return 1;
}

int waitGone(int argc, char** argv) {
    if (argc < 3) return 2;
    const std::wstring title = widen(argv[2]);
    const double seconds = argc > 3 ? std::atof(argv[3]) : 10.0;
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
    do {
        if (!findTopLevel(title)) return 0;
        Sleep(50);
    } while (GetTickCount64() < end);
    return 1;
}

std::vector<HWND> children(HWND parent) {
    std::vector<HWND> out;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        out.push_back(child);
    return out;
}

int child(int argc, char** argv) {
    if (argc < 5) return 2;
    const HWND parent = parseHwnd(argv[2]);
    const std::wstring windowClass = widen(argv[3]), text = widen(argv[4]);
    int skip = argc > 5 ? std::atoi(argv[5]) : 0;
    for (HWND c : children(parent)) {
        if (_wcsicmp(classOf(c).c_str(), windowClass.c_str()) != 0) continue;
        if (text != L"*" && textOf(c) != text) continue;
        if (skip-- > 0) continue;
        RECT r{};
        GetWindowRect(c, &r);
        say(hex(c) + " " + rectText(r));
        return 0;
    }
    return 1;
}

int texts(int argc, char** argv) {
    if (argc < 3) return 2;
    for (HWND c : children(parseHwnd(argv[2]))) {
        say(narrow(classOf(c)) + "\t" + (IsWindowVisible(c) ? "visible" : "hidden") + "\t" +
            narrow(textOf(c)));
    }
    return 0;
}

// The program's list boxes draw their rows from its own list and hold no strings that another
// process could ask for with LB_GETTEXT; what they can tell is how many rows they have.
int rows(int argc, char** argv) {
    if (argc < 3) return 2;
    const LRESULT count = SendMessageW(parseHwnd(argv[2]), LB_GETCOUNT, 0, 0);
    if (count == LB_ERR) return 1;
    say(std::to_string(count));
    return 0;
}

// Polled often: the benchmarks time the change from outside, and click only once "waiting" shows.
int waitRows(int argc, char** argv) {
    if (argc < 4) return 2;
    say("waiting");
    const HWND list = parseHwnd(argv[2]);
    const LRESULT wanted = std::atoi(argv[3]);
    const double seconds = argc > 4 ? std::atof(argv[4]) : 10.0;
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
    LRESULT count = LB_ERR;
    do {
        count = SendMessageW(list, LB_GETCOUNT, 0, 0);
        if (count == wanted) break;
        Sleep(5);
    } while (GetTickCount64() < end);
    say(std::to_string(count));
    return count == wanted ? 0 : 1;
}

// A rectangle that a control writes into memory of its own process.
bool remoteRect(HWND hwnd, UINT message, WPARAM wParam, RECT& out) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) return false;
    void* remote = VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
    bool ok = false;
    if (remote) {
        DWORD_PTR result = 0;
        SendMessageTimeoutW(hwnd, message, wParam, reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 2000,
                            &result);
        ok = result != 0 && result != static_cast<DWORD_PTR>(LB_ERR) &&
             ReadProcessMemory(process, remote, &out, sizeof(RECT), nullptr);
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return ok;
}

int item(int argc, char** argv) {
    if (argc < 5) return 2;
    const HWND hwnd = parseHwnd(argv[2]);
    const std::string kind = argv[3];
    const int index = std::atoi(argv[4]);
    RECT r{};
    // A list box's messages are below WM_USER, so Windows carries their pointers across processes;
    // a tab control's are not.
    const bool ok = kind == "tab" ? remoteRect(hwnd, TCM_GETITEMRECT, static_cast<WPARAM>(index), r)
                                  : SendMessageW(hwnd, LB_GETITEMRECT, static_cast<WPARAM>(index),
                                                 reinterpret_cast<LPARAM>(&r)) != LB_ERR;
    if (!ok) return 1;
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
    say(rectText(r));
    return 0;
}

// Wine's taskbar draws its icons itself, from the right end, each the small icon size plus a
// border of 2 pixels a side; the program's icon is the only one, so it is the rightmost.
BOOL CALLBACK noteTopLevel(HWND hwnd, LPARAM) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    say(hex(hwnd) + "\t" + narrow(classOf(hwnd)) + "\t" + (IsWindowVisible(hwnd) ? "visible" : "hidden") +
        "\t" + rectText(r) + "\t" + narrow(textOf(hwnd)));
    return TRUE;
}

int list() {
    EnumWindows(noteTopLevel, 0);
    return 0;
}

int tray() {
    HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
    if (!taskbar) return 1;
    RECT r{};
    GetWindowRect(taskbar, &r);
    const int size = GetSystemMetrics(SM_CXSMICON) + 4;
    say(rectText(RECT{r.right - size, r.top + (r.bottom - r.top - size) / 2, r.right,
                      r.top + (r.bottom - r.top + size) / 2}));
    return 0;
}

// Wine's taskbar shows itself only while it holds something: an icon, or a button for a window
// that has one (the program's resident windows have none).
int waitTrayIcon(int argc, char** argv) {
    const double seconds = argc > 2 ? std::atof(argv[2]) : 10.0;
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
    say("waiting");
    do {
        HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
        if (taskbar && IsWindowVisible(taskbar)) return tray();
        Sleep(5);
    } while (GetTickCount64() < end);
    return 1;
}

bool processRunning(const std::wstring& name) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    bool found = false;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !found;
         more = Process32NextW(snapshot, &entry)) {
        found = _wcsicmp(entry.szExeFile, name.c_str()) == 0;
    }
    CloseHandle(snapshot);
    return found;
}

bool isCount(const std::wstring& text) {
    return !text.empty() && text.size() <= 2 && text.find_first_not_of(L"0123456789") == std::wstring::npos;
}

// What screen readers are told while the warning is watched: alerts (a line each, as they come)
// and changes of the count's text (counted).
int countChanges = 0;
void CALLBACK heard(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
    if (object != OBJID_CLIENT || child != CHILDID_SELF) return;
    if (event == EVENT_SYSTEM_ALERT) say("alert " + narrow(textOf(hwnd)));
    if (event == EVENT_OBJECT_NAMECHANGE && isCount(textOf(hwnd))) ++countChanges;
}

// Sleeps while taking the events of the hook above.
void listen(DWORD milliseconds) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds, QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

// Waits for the warning, follows its counter, and takes the moment the session end is requested:
// Wine starts wineboot.exe for ExitWindowsEx, and the program ends at once after the request.
int watchWarning(int argc, char** argv) {
    if (argc < 4) return 2;
    const std::wstring title = widen(argv[2]), program = widen(argv[3]);
    SetWinEventHook(EVENT_SYSTEM_ALERT, EVENT_OBJECT_NAMECHANGE, nullptr, heard, 0, 0,
                    WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
    HWND warning = nullptr;
    while (!(warning = findTopLevel(title))) listen(10);
    const ULONGLONG opened = GetTickCount64();
    say("open");
    std::wstring shown;
    for (;;) {
        if (processRunning(L"wineboot.exe") || !processRunning(program)) break;
        for (HWND c : children(warning)) {
            const std::wstring text = textOf(c);
            if (isCount(text) && text != shown) {
                shown = text;
                char line[64];
                std::snprintf(line, sizeof line, "count %s %.3f", narrow(text).c_str(),
                              static_cast<double>(GetTickCount64() - opened) / 1000.0);
                say(line);
            }
        }
        listen(20);
    }
    char line[64];
    std::snprintf(line, sizeof line, "request %.3f", static_cast<double>(GetTickCount64() - opened) / 1000.0);
    say(line);
    say("heard " + std::to_string(countChanges) + " changes of the count");
    return 0;
}

// --- As a screen reader reads ----------------------------------------------------------------

std::string roleName(long role) {
    switch (role) {
        case ROLE_SYSTEM_ALERT: return "alert";
        case ROLE_SYSTEM_DIALOG: return "dialog";
        case ROLE_SYSTEM_STATICTEXT: return "text";
        case ROLE_SYSTEM_PUSHBUTTON: return "button";
        case ROLE_SYSTEM_GRAPHIC: return "graphic";
        case ROLE_SYSTEM_LIST: return "list";
        case ROLE_SYSTEM_LISTITEM: return "item";
        case ROLE_SYSTEM_LINK: return "link";
        case ROLE_SYSTEM_CLIENT: return "client";  // what Wine says of a control it knows no role of
        default: return "role " + std::to_string(role);
    }
}

VARIANT childId(long id) {
    VARIANT v{};
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

// "ROLE<TAB>NAME" of an object or one of its elements; empty for an invisible one.
std::string readLine(IAccessible& accessible, long id) {
    VARIANT role{}, state{};
    accessible.get_accRole(childId(id), &role);
    if (SUCCEEDED(accessible.get_accState(childId(id), &state)) && state.vt == VT_I4 &&
        (state.lVal & STATE_SYSTEM_INVISIBLE))
        return {};
    BSTR name = nullptr;
    std::wstring text;
    if (accessible.get_accName(childId(id), &name) == S_OK && name) text = name;
    SysFreeString(name);
    return (role.vt == VT_I4 ? roleName(role.lVal) : "?") + "\t" + narrow(text);
}

// The window's client area, then each child window's (the children as the client area lists them),
// and the elements of each child that has some (a list's rows), indented; last the child that says
// it has the focus.
int readAloud(int argc, char** argv) {
    if (argc < 3) return 2;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IAccessible* window = nullptr;
    if (FAILED(AccessibleObjectFromWindow(parseHwnd(argv[2]), OBJID_CLIENT, __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&window))))
        return 1;
    say(readLine(*window, CHILDID_SELF));
    LONG count = 0;
    window->get_accChildCount(&count);
    std::vector<VARIANT> parts(static_cast<std::size_t>(count));
    LONG got = 0;
    AccessibleChildren(window, 0, count, parts.data(), &got);
    std::string focused;
    for (LONG i = 0; i < got; ++i) {
        VARIANT& part = parts[static_cast<std::size_t>(i)];
        HWND child = nullptr;
        IAccessible* inner = nullptr;
        // Each child window's object; the reader reads its client area.
        if (part.vt == VT_DISPATCH && part.pdispVal &&
            SUCCEEDED(part.pdispVal->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&inner)))) {
            WindowFromAccessibleObject(inner, &child);
            inner->Release();
        }
        VariantClear(&part);
        IAccessible* client = nullptr;
        if (!child || FAILED(AccessibleObjectFromWindow(child, OBJID_CLIENT, __uuidof(IAccessible),
                                                        reinterpret_cast<void**>(&client))))
            continue;
        const std::string line = readLine(*client, CHILDID_SELF);
        if (!line.empty()) {
            say(line);
            VARIANT state{};
            if (SUCCEEDED(client->get_accState(childId(CHILDID_SELF), &state)) && state.vt == VT_I4 &&
                (state.lVal & STATE_SYSTEM_FOCUSED))
                focused = line;
            LONG rows = 0;
            client->get_accChildCount(&rows);
            std::vector<VARIANT> elements(static_cast<std::size_t>(rows));
            LONG listed = 0;
            if (rows > 0) AccessibleChildren(client, 0, rows, elements.data(), &listed);
            for (LONG r = 0; r < listed; ++r) {
                VARIANT& element = elements[static_cast<std::size_t>(r)];
                if (element.vt == VT_I4) say("  " + readLine(*client, element.lVal));
                VariantClear(&element);
            }
        }
        client->Release();
    }
    if (!focused.empty()) say("focus\t" + focused);
    window->Release();
    return 0;
}

// What a screen reader's focus event names: the focused window's client object
// (AccessibleObjectFromEvent with OBJID_CLIENT, CHILDID_SELF), said after its top-level window's title.
int focus() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    HWND foreground = GetForegroundWindow();
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!foreground || !GetGUIThreadInfo(GetWindowThreadProcessId(foreground, nullptr), &info)) {
        say("none");
        return 0;
    }
    HWND focused = info.hwndFocus ? info.hwndFocus : foreground;
    std::string line = narrow(textOf(GetAncestor(focused, GA_ROOT)));
    IAccessible* object = nullptr;
    if (SUCCEEDED(AccessibleObjectFromWindow(focused, OBJID_CLIENT, __uuidof(IAccessible),
                                             reinterpret_cast<void**>(&object)))) {
        line += '\t';
        line += readLine(*object, CHILDID_SELF);
        object->Release();
    }
    say(line);
    return 0;
}

// A window the user works in while the program runs: the place the focus must come back to. It
// ends when closed, or after SECONDS.
int userWindow(int argc, char** argv) {
    const double seconds = argc > 2 ? std::atof(argv[2]) : 3600.0;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"QuietusE2EUser";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"Notes", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  40, 40, 300, 120, nullptr, nullptr, instance, nullptr);
    HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"Edit", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 10,
                                260, 24, window, nullptr, instance, nullptr);
    if (!window || !edit) return 1;
    SetForegroundWindow(window);
    SetFocus(edit);
    say("shown");
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
    MSG message;
    while (IsWindow(window) && GetTickCount64() < end) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 200, QS_ALLINPUT);
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return 0;
}

// --- The tray icon from the keyboard ------------------------------------------------------------

// What the shell sends the program when its icon, picked with Win+B and the arrows, takes Enter
// (select) or Shift+F10 (context), or when its balloon is clicked (balloon): the event in the low
// word of lParam, the icon's centre in wParam (NOTIFYICON_VERSION_4). Says the centre.
int trayKey(int argc, char** argv) {
    if (argc < 3) return 2;
    const std::string key = argv[2];
    HWND service = FindWindowW(L"QuietusTrayIcon", nullptr);
    HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
    if (!service || !taskbar || (key != "select" && key != "context" && key != "balloon")) return 1;
    RECT r{};
    GetWindowRect(taskbar, &r);
    const int size = GetSystemMetrics(SM_CXSMICON) + 4;
    const POINT centre{r.right - size / 2, (r.top + r.bottom) / 2};
    const UINT event = key == "select" ? NIN_KEYSELECT : key == "context" ? WM_CONTEXTMENU : NIN_BALLOONUSERCLICK;
    constexpr UINT kTrayIconMessage = 0x8000 + 0x200;  // the program's callback message (WM_APP + 0x200)
    PostMessageW(service, kTrayIconMessage, MAKEWPARAM(centre.x, centre.y), MAKELPARAM(event, 1));
    say(std::to_string(centre.x) + " " + std::to_string(centre.y));
    return 0;
}

// Wine's X11 driver hands no key from the X server to a menu whose owner lies off the screen (the
// tray window's); keys put into Wine's input as its keyboard driver does reach it, as on Windows.
int press(int argc, char** argv) {
    static const std::pair<const char*, WORD> names[] = {{"Down", VK_DOWN},     {"Return", VK_RETURN},
                                                         {"Escape", VK_ESCAPE}, {"Tab", VK_TAB},
                                                         {"Home", VK_HOME},     {"Delete", VK_DELETE}};
    for (int i = 2; i < argc; ++i) {
        WORD key = 0;
        for (const auto& [name, code] : names) {
            if (std::string(name) == argv[i]) key = code;
        }
        if (!key) return 2;
        INPUT strokes[2] = {};
        strokes[0].type = strokes[1].type = INPUT_KEYBOARD;
        strokes[0].ki.wVk = strokes[1].ki.wVk = key;
        strokes[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, strokes, sizeof(INPUT));
        Sleep(100);
    }
    return 0;
}

// Wine ends its desktop (and the taskbar) when the last program on it ends: a benchmark that starts
// the program again and again keeps it open with this, which wakes no one while it waits.
int hold(int argc, char** argv) {
    const double seconds = argc > 2 ? std::atof(argv[2]) : 3600.0;
    GetDesktopWindow();  // on the desktop from here on
    Sleep(static_cast<DWORD>(seconds * 1000));
    return 0;
}

}  // namespace

// Arguments arrive in UTF-16 and are handled in UTF-8, whatever the code page of the prefix.
int wmain(int argc, wchar_t** wideArgv) {
    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i) arguments.push_back(narrow(wideArgv[i]));
    std::vector<char*> pointers;
    for (std::string& argument : arguments) pointers.push_back(argument.data());
    char** argv = pointers.data();
    _setmode(_fileno(stdout), _O_BINARY);  // "\n", not "\r\n", for the shell that reads us
    if (argc < 2) return 2;
    const std::string command = argv[1];
    if (command == "wait-window") return waitWindow(argc, argv);
    if (command == "wait-gone") return waitGone(argc, argv);
    if (command == "child") return child(argc, argv);
    if (command == "texts") return texts(argc, argv);
    if (command == "item") return item(argc, argv);
    if (command == "rows") return rows(argc, argv);
    if (command == "wait-rows") return waitRows(argc, argv);
    if (command == "wait-tray-icon") return waitTrayIcon(argc, argv);
    if (command == "tray") return tray();
    if (command == "list") return list();
    if (command == "watch-warning") return watchWarning(argc, argv);
    if (command == "read-aloud") return readAloud(argc, argv);
    if (command == "focus") return focus();
    if (command == "user-window") return userWindow(argc, argv);
    if (command == "tray-key") return trayKey(argc, argv);
    if (command == "press") return press(argc, argv);
    if (command == "hold") return hold(argc, argv);
    return 2;
}
