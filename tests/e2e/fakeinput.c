// A pointer and a keyboard for KWin's Wayland session, through KWin's own fake-input protocol
// (which KWin lets any client use when KWIN_WAYLAND_NO_PERMISSION_CHECKS is set): the input goes
// through the compositor as a person's would, to Wayland and X clients alike. Reads commands from
// its standard input, one a line, and answers "ok" to each once the compositor has read it:
//   move X Y      the pointer to a point of the screen
//   click         the left button pressed and released
//   key CODE      a key pressed and released, by its Linux key code (15 Tab, 57 space)
//   down CODE     a key pressed and held (42 the left Shift), up CODE released
// Built by the test against the protocol's XML with wayland-scanner.
#include "fake-input-client.h"

#include <stdio.h>
#include <string.h>
#include <wayland-client.h>

static struct org_kde_kwin_fake_input *fake;

static void global(
    void *data, struct wl_registry *registry, uint32_t name, const char *interface, uint32_t version)
{
    (void)data;
    if (strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 && version >= 4)
        fake = wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4);
}

static void global_remove(void *data, struct wl_registry *registry, uint32_t name)
{
    (void)data;
    (void)registry;
    (void)name;
}

static const struct wl_registry_listener listener = { global, global_remove };

int main(void)
{
    struct wl_display *display = wl_display_connect(NULL);
    if (!display) {
        fprintf(stderr, "fakeinput: no Wayland display\n");
        return 1;
    }
    wl_registry_add_listener(wl_display_get_registry(display), &listener, NULL);
    wl_display_roundtrip(display);
    if (!fake) {
        fprintf(stderr, "fakeinput: the compositor offers no org_kde_kwin_fake_input 4\n");
        return 1;
    }
    org_kde_kwin_fake_input_authenticate(fake, "quelvaro-test", "end-to-end test");
    char line[128];
    while (fgets(line, sizeof line, stdin)) {
        double x, y;
        unsigned code;
        if (sscanf(line, "move %lf %lf", &x, &y) == 2) {
            org_kde_kwin_fake_input_pointer_motion_absolute(
                fake, wl_fixed_from_double(x), wl_fixed_from_double(y));
        } else if (strncmp(line, "click", 5) == 0) {
            // BTN_LEFT; 1 pressed, 0 released.
            org_kde_kwin_fake_input_button(fake, 0x110, 1);
            org_kde_kwin_fake_input_button(fake, 0x110, 0);
        } else if (sscanf(line, "key %u", &code) == 1) {
            org_kde_kwin_fake_input_keyboard_key(fake, code, 1);
            org_kde_kwin_fake_input_keyboard_key(fake, code, 0);
        } else if (sscanf(line, "down %u", &code) == 1) {
            org_kde_kwin_fake_input_keyboard_key(fake, code, 1);
        } else if (sscanf(line, "up %u", &code) == 1) {
            org_kde_kwin_fake_input_keyboard_key(fake, code, 0);
        } else {
            fprintf(stderr, "fakeinput: unknown command: %s", line);
            return 2;
        }
        if (wl_display_roundtrip(display) < 0) {
            fprintf(stderr, "fakeinput: lost the compositor\n");
            return 1;
        }
        printf("ok\n");
        fflush(stdout);
    }
    wl_display_disconnect(display);
    return 0;
}
