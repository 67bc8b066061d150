// A stand-in for Horalia's window in the hosted-launch test: a plain X11
// window of 800 x 600 whose id is printed in hexadecimal on stdout, as
// Horalia passes it on the converter's command line. It lives until killed.
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main() {
  xcb_connection_t* x = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(x)) {
    std::fprintf(stderr, "fake_horalia: no X display\n");
    return 1;
  }
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(x)).data;
  const xcb_window_t window = xcb_generate_id(x);
  const std::uint32_t values[] = {screen->white_pixel, XCB_EVENT_MASK_EXPOSURE};
  xcb_create_window(x, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 800, 600, 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK,
                    values);
  const char* title = "Horalia";
  xcb_change_property(x, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                      static_cast<std::uint32_t>(std::strlen(title)), title);
  xcb_map_window(x, window);
  xcb_flush(x);
  std::printf("%X\n", window);
  std::fflush(stdout);
  while (xcb_generic_event_t* event = xcb_wait_for_event(x)) std::free(event);
  xcb_disconnect(x);
  return 0;
}
