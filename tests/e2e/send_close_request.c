/* Asks a window to close the way a desktop does: the WM_DELETE_WINDOW client message of
 * the WM_PROTOCOLS protocol, sent to the window whose id is given (decimal, as xdotool
 * prints it). Xvfb runs no window manager, so the tests send it themselves. */
#include <X11/Xlib.h>
#include <stdlib.h>

int main(int argc, char** argv)
{
    Display* display = XOpenDisplay(NULL);
    if (argc != 2 || !display)
        return 2;
    XEvent event = {.xclient = {.type = ClientMessage, .format = 32}};
    event.xclient.window = (Window)strtoul(argv[1], NULL, 0);
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
    XCloseDisplay(display);
    return 0;
}
