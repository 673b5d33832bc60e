/* The floor of the start-up benchmark: a plain Xlib program that maps a
   window of the size given (width and height as arguments) and fills it
   once it is exposed, then waits to be stopped. */
#include <X11/Xlib.h>
#include <stdlib.h>

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const unsigned width = (unsigned)atoi(argv[1]), height = (unsigned)atoi(argv[2]);
  Display* display = XOpenDisplay(NULL);
  if (!display) return 1;
  const int screen = DefaultScreen(display);
  const Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, width, height, 0,
                                            BlackPixel(display, screen), BlackPixel(display, screen));
  XSelectInput(display, window, ExposureMask);
  XMapWindow(display, window);
  const GC gc = XCreateGC(display, window, 0, NULL);
  XSetForeground(display, gc, 0xF0F0F0);
  for (;;) {
    XEvent e;
    XNextEvent(display, &e);
    if (e.type == Expose && e.xexpose.count == 0) {
      XFillRectangle(display, window, gc, 0, 0, width, height);
      XFlush(display);
    }
  }
}
