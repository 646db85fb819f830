#pragma once

#include <QString>
#include <zip.h>

namespace quillet {

// libzip, opened when the first zip archive is read instead of linked: linked,
// it maps OpenSSL (libcrypto, some 1.5 MB resident) into every launch and
// costs about 2.5 ms before main, for the rare Day One import.
struct ZipLibrary {
    decltype(&::zip_open) open;
    decltype(&::zip_discard) discard;
    decltype(&::zip_stat_init) statInit;
    decltype(&::zip_stat) stat;
    decltype(&::zip_fopen) fopen;
    decltype(&::zip_fread) fread;
    decltype(&::zip_fclose) fclose;

    // Opened once and kept; null, with why in *error, when it is not installed.
    static const ZipLibrary* get(QString* error);
};

} // namespace quillet
