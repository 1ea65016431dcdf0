// Keys from the console: input records read one by one, so nothing is
// line-buffered or echoed, and keys still waiting can be seen.
#include <string>
#include <vector>
#include <windows.h>

#include "platform/console.h"

namespace plat {

namespace {

HANDLE g_in = INVALID_HANDLE_VALUE;
DWORD g_saved = 0;

// Ctrl-C and closing the window end the program; the console keeps its
// input mode beyond that, so put it back first.
BOOL WINAPI on_ctrl(DWORD) {
    if (g_in != INVALID_HANDLE_VALUE) SetConsoleMode(g_in, g_saved);
    return FALSE;
}

bool lone_modifier(WORD vk) {
    switch (vk) {
    case VK_SHIFT: case VK_CONTROL: case VK_MENU: case VK_CAPITAL: case VK_NUMLOCK:
    case VK_SCROLL: case VK_LWIN: case VK_RWIN: case VK_APPS:
        return true;
    default:
        return false;
    }
}

// The codes of one key press: its character, or for a key without one
// (arrows, function keys) two codes, 0xE0 and the scan code, as the console
// runtime reports them. Releases and lone modifiers give none.
int key_codes(const KEY_EVENT_RECORD& k, unsigned char out[2]) {
    if (!k.bKeyDown) return 0;
    unsigned char ch = (unsigned char)k.uChar.AsciiChar;
    if (ch) {
        out[0] = ch;
        return 1;
    }
    if (lone_modifier(k.wVirtualKeyCode)) return 0;
    out[0] = 0xE0;
    out[1] = (unsigned char)k.wVirtualScanCode;
    return 2;
}

class ConsoleKeys : public KeySource {
public:
    ConsoleKeys(HANDLE h, DWORD mode, bool own) : own_(own) {
        g_in = h;
        g_saved = mode;
        SetConsoleCtrlHandler(on_ctrl, TRUE);
        SetConsoleMode(h, mode & ~(DWORD)(ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT));
    }
    ~ConsoleKeys() override {
        SetConsoleMode(g_in, g_saved);
        SetConsoleCtrlHandler(on_ctrl, FALSE);
        if (own_) CloseHandle(g_in);
        g_in = INVALID_HANDLE_VALUE;
    }
    int get() override {
        while (next_ == pending_.size()) {
            pending_.clear();
            next_ = 0;
            INPUT_RECORD rec;
            DWORD n = 0;
            if (!ReadConsoleInputA(g_in, &rec, 1, &n)) return -1;
            if (n == 0 || rec.EventType != KEY_EVENT) continue;
            unsigned char b[2];
            int m = key_codes(rec.Event.KeyEvent, b);
            WORD times = rec.Event.KeyEvent.wRepeatCount ? rec.Event.KeyEvent.wRepeatCount : 1;
            for (WORD t = 0; t < times; t++) pending_.append((const char*)b, (size_t)m);
        }
        return (unsigned char)pending_[next_++];
    }
    bool waiting() override {
        if (next_ < pending_.size()) return true;
        DWORD n = 0;
        if (!GetNumberOfConsoleInputEvents(g_in, &n) || n == 0) return false;
        std::vector<INPUT_RECORD> recs(n);
        DWORD got = 0;
        if (!PeekConsoleInputA(g_in, recs.data(), n, &got)) return false;
        unsigned char b[2];
        for (DWORD k = 0; k < got; k++)
            if (recs[k].EventType == KEY_EVENT && key_codes(recs[k].Event.KeyEvent, b) > 0) return true;
        return false;
    }

private:
    bool own_;
    std::string pending_;  // codes of a record not handed out yet
    size_t next_ = 0;
};

}  // namespace

std::unique_ptr<KeySource> open_keys() {
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    bool valid = in && in != INVALID_HANDLE_VALUE;
    DWORD mode = 0;
    if (valid && GetConsoleMode(in, &mode)) return std::make_unique<ConsoleKeys>(in, mode, false);
    if (valid && GetFileType(in) == FILE_TYPE_PIPE) {
        HANDLE con = CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, 0, nullptr);
        if (con != INVALID_HANDLE_VALUE) {
            if (GetConsoleMode(con, &mode)) return std::make_unique<ConsoleKeys>(con, mode, true);
            CloseHandle(con);
        }
    }
    return stream_keys(stdin);
}

}  // namespace plat
