#include "diary/import/ZipLibrary.h"

#include <QCoreApplication>
#include <dlfcn.h>
#include <mutex>

namespace quillet {

namespace {

template <typename Function> bool resolve(void* handle, const char* name, Function* function) {
    *function = reinterpret_cast<Function>(dlsym(handle, name));
    return *function != nullptr;
}

} // namespace

const ZipLibrary* ZipLibrary::get(QString* error) {
    static std::once_flag once;
    static ZipLibrary library;
    static bool loaded = false;
    static QString why;
    std::call_once(once, [] {
        // The name the build linked against: the same interface, whatever its minor version.
        void* handle = dlopen(QUILLET_LIBZIP_SONAME, RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            why = QString::fromLocal8Bit(dlerror());
            return;
        }
        loaded = resolve(handle, "zip_open", &library.open) &&
                 resolve(handle, "zip_discard", &library.discard) &&
                 resolve(handle, "zip_stat_init", &library.statInit) &&
                 resolve(handle, "zip_stat", &library.stat) &&
                 resolve(handle, "zip_fopen", &library.fopen) &&
                 resolve(handle, "zip_fread", &library.fread) &&
                 resolve(handle, "zip_fclose", &library.fclose);
        if (!loaded) {
            why = QString::fromLocal8Bit(dlerror());
        }
    });
    if (!loaded && error) {
        *error = QCoreApplication::translate("DiaryImport", "zip archives cannot be read here (%1)")
                     .arg(why);
    }
    return loaded ? &library : nullptr;
}

} // namespace quillet
