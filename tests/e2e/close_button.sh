# The window's close button (WM_DELETE_WINDOW, as a window manager sends it) ends the game
# like the menu's "quit": status 0, settings saved.
source "$(dirname "$0")/common.bash"

cat >"$WORK/close.cpp" <<'CPP'
#include <X11/Xlib.h>
#include <cstdlib>
int main(int, char** argv) {
    Display* d = XOpenDisplay(nullptr);
    if (d == nullptr) return 2;
    Window w = static_cast<Window>(std::strtoul(argv[1], nullptr, 10));
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, w, False, NoEventMask, &e);
    XCloseDisplay(d);
    return 0;
}
CPP
g++ -o "$WORK/close" "$WORK/close.cpp" -lX11 || fail "cannot build the close helper (libx11-dev)"

make_workdir
start_game
find_window
wait_for_splash 30
press Return
wait_for_menu 15
"$WORK/close" "$WID"
wait_exit 20
[ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS after the close button"
expect_default_settings_file
echo "PASS ($NAME)"
