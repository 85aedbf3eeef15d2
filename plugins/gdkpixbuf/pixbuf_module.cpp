// SPDX-License-Identifier: MIT
// libpixbufloader-vrs.so: the entry points gdk-pixbuf looks up by name.
#include "pixbuf_loader.h"

extern "C" {

G_MODULE_EXPORT void fill_vtable(GdkPixbufModule* module);
G_MODULE_EXPORT void fill_info(GdkPixbufFormat* info);

void fill_vtable(GdkPixbufModule* module) {
    module->load = vrs::plugin::loadFile;
    module->begin_load = vrs::plugin::beginLoad;
    module->stop_load = vrs::plugin::stopLoad;
    module->load_increment = vrs::plugin::loadIncrement;
}

// The sized header's magic, "isbg" at offset 116; the rectangle header has
// none and is known by its MIME type (the .vrs extension).
void fill_info(GdkPixbufFormat* info) {
    static GdkPixbufModulePattern signature[] = {
        {const_cast<gchar*>("                                                                    "
                            "                                                isbg"),
         const_cast<gchar*>("xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"
                            "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx    "),
         100},
        {nullptr, nullptr, 0},
    };
    static const gchar* mimeTypes[] = {"image/x-vrscreen", nullptr};
    static const gchar* extensions[] = {"vrs", nullptr};
    info->name = const_cast<gchar*>("vrs");
    info->signature = signature;
    info->description = const_cast<gchar*>("Virtual-screen capture");
    info->mime_types = const_cast<gchar**>(mimeTypes);
    info->extensions = const_cast<gchar**>(extensions);
    info->flags = GDK_PIXBUF_FORMAT_THREADSAFE;
    info->disabled = FALSE;
    info->license = const_cast<gchar*>("MIT");
}

}  // extern "C"
