// A GTK 3 host of one LV2 UI, as jalv.gtk3 is one: the UI comes through suil's X11-in-GTK3
// wrapper into a GtkWindow. Once the sizes have stayed the same for half a second, it prints
// the window's size and our UI window's size and place, in device pixels, and exits:
//   window 906x400 ui 906x400 at 0,0
// Usage: gtk3_suil_host PLUGIN_URI (found in LV2_PATH).

#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <lilv/lilv.h>
#include <suil/suil.h>

#include <cstdio>
#include <string>

namespace
{
struct Geometry
{
    int x = 0, y = 0, width = 0, height = 0;
    bool operator== (const Geometry& o) const { return x == o.x && y == o.y && width == o.width && height == o.height; }
};

Geometry geometryOf (Display* display, Window window)
{
    Window root = 0;
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    if (window == 0 || XGetGeometry (display, window, &root, &x, &y, &width, &height, &border, &depth) == 0)
        return {};
    return { x, y, int (width), int (height) };
}

Window firstChild (Display* display, Window window)
{
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (window == 0 || XQueryTree (display, window, &root, &parent, &children, &count) == 0)
        return 0;
    const Window child = count > 0 ? children[0] : 0;
    if (children != nullptr)
        XFree (children);
    return child;
}

void writeNothing (SuilController, uint32_t, uint32_t, uint32_t, const void*) {}
uint32_t noPortIndex (SuilController, const char*)
{
    return uint32_t (-1);
}
} // namespace

int main (int argc, char** argv)
{
    gtk_init (&argc, &argv);
    if (argc != 2)
        return 2;

    LilvWorld* world = lilv_world_new();
    lilv_world_load_all (world);
    LilvNode* uri = lilv_new_uri (world, argv[1]);
    const LilvPlugin* plugin = lilv_plugins_get_by_uri (lilv_world_get_all_plugins (world), uri);
    if (plugin == nullptr)
        return 3;
    const LilvUIs* uis = lilv_plugin_get_uis (plugin);
    const LilvUI* ui = lilv_uis_get (uis, lilv_uis_begin (uis));
    const LilvNodes* classes = lilv_ui_get_classes (ui);
    const char* uiClass = lilv_node_as_uri (lilv_nodes_get (classes, lilv_nodes_begin (classes)));
    char* bundle = lilv_file_uri_parse (lilv_node_as_uri (lilv_ui_get_bundle_uri (ui)), nullptr);
    char* binary = lilv_file_uri_parse (lilv_node_as_uri (lilv_ui_get_binary_uri (ui)), nullptr);

    const char* gtk3Ui = "http://lv2plug.in/ns/extensions/ui#Gtk3UI";
    SuilHost* host = suil_host_new (writeNothing, noPortIndex, nullptr, nullptr);
    const LV2_Feature* features[] = { nullptr };
    SuilInstance* instance = suil_instance_new (host, nullptr, gtk3Ui, argv[1], lilv_node_as_uri (lilv_ui_get_uri (ui)),
                                                uiClass, bundle, binary, features);
    if (instance == nullptr)
        return 4;

    GtkWidget* window = gtk_window_new (GTK_WINDOW_TOPLEVEL);
    GtkWidget* socket = static_cast<GtkWidget*> (suil_instance_get_widget (instance));
    gtk_container_add (GTK_CONTAINER (window), socket);
    gtk_widget_show_all (window);

    // The UI's window is the plug's child, and the plug is the socket's.
    Display* display = GDK_DISPLAY_XDISPLAY (gdk_display_get_default());
    Geometry frame, editor;
    for (int step = 0, unchanged = 0; step < 100 && unchanged < 5; ++step)
    {
        const gint64 until = g_get_monotonic_time() + 100000;
        while (g_get_monotonic_time() < until)
            if (! g_main_context_iteration (nullptr, FALSE))
                g_usleep (2000);
        XSync (display, False);
        const Geometry nowFrame = geometryOf (display, GDK_WINDOW_XID (gtk_widget_get_window (window)));
        const Window socketWindow =
            gtk_widget_get_realized (socket) ? GDK_WINDOW_XID (gtk_widget_get_window (socket)) : 0;
        const Geometry nowEditor = geometryOf (display, firstChild (display, firstChild (display, socketWindow)));
        unchanged = nowFrame == frame && nowEditor == editor && editor.width > 0 ? unchanged + 1 : 0;
        frame = nowFrame;
        editor = nowEditor;
    }
    std::printf ("window %dx%d ui %dx%d at %d,%d\n", frame.width, frame.height, editor.width, editor.height, editor.x,
                 editor.y);
    std::fflush (stdout);

    suil_instance_free (instance);
    gtk_widget_destroy (window);
    suil_host_free (host);
    lilv_free (bundle);
    lilv_free (binary);
    lilv_node_free (uri);
    lilv_world_free (world);
    return 0;
}
