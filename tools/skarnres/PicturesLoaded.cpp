// SPDX-License-Identifier: GPL-3.0-or-later
#include "Pictures.h"

#include <dlfcn.h>
#include <filesystem>
#include <system_error>

#include "Commands.h"

namespace fs = std::filesystem;

namespace {

// Beside the program in the build, or in the package's library folder (TM_PICTURES_FROM_BIN, relative
// to the program's folder) once installed.
const TPictureFunctions& load() {
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    const char* const file = "skarnres-pictures.so";
    std::string why = "the program's own folder is not known";
    if (!error) {
        for (const fs::path& candidate :
             {program.parent_path() / file, program.parent_path() / TM_PICTURES_FROM_BIN / file}) {
            if (!fs::exists(candidate, error))
                continue;
            void* library = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
            const char* failure = library ? nullptr : ::dlerror();
            if (library) {
                using TEntry = const TPictureFunctions* (*)();
                if (auto entry = reinterpret_cast<TEntry>(::dlsym(library, PictureFunctionsName)))
                    return *entry();
                failure = ::dlerror();
            }
            throw ECommandFailed("cannot load " + candidate.string() + ": " +
                                 (failure ? failure : "no entry"));
        }
        why = "it is neither in " + program.parent_path().string() + " nor in " +
              (program.parent_path() / TM_PICTURES_FROM_BIN).lexically_normal().string();
    }
    throw ECommandFailed(std::string("cannot write pictures without ") + file + ": " + why);
}

} // namespace

const TPictureFunctions& Pictures() {
    static const TPictureFunctions& functions = load();
    return functions;
}
