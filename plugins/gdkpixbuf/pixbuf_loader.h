// SPDX-License-Identifier: MIT
// The GdkPixbuf module's operations, as plain functions that the module's
// table points to (and the fuzzer calls). Each load owns its context; the
// module keeps nothing between loads and starts no thread.
#pragma once

#define GDK_PIXBUF_ENABLE_BACKEND
#include <gdk-pixbuf/gdk-pixbuf-io.h>
#undef GDK_PIXBUF_ENABLE_BACKEND

#include <cstdio>

namespace vrs::plugin {

// The whole file, read with pread on a regular file's descriptor (other
// streams are read in pieces); null with *error set when it is refused.
GdkPixbuf* loadFile(FILE* file, GError** error);

gpointer beginLoad(GdkPixbufModuleSizeFunc sizeFunc, GdkPixbufModulePreparedFunc preparedFunc,
                   GdkPixbufModuleUpdatedFunc updatedFunc, gpointer userData, GError** error);
gboolean loadIncrement(gpointer context, const guchar* bytes, guint size, GError** error);
// Ends a load begun by beginLoad and frees its context, whatever came.
gboolean stopLoad(gpointer context, GError** error);

}  // namespace vrs::plugin
