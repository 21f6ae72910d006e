// The package as the host loads it: every entry exported with C linkage.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <string>

TEST(PackageExportsTest, EveryEntryIsExportedUnderItsPlainName) {
    void* handle = dlopen(PLA_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << dlerror();
    for (const char* name : {"IniProc", "CriaRetirada", "CriaFiltroRetirada", "CriaFiltroRetiradaGeral",
                             "CriaVisualizaErros", "UnitVariable", "Pla02000UnitState", "Pla02015UnitState",
                             "Pla02030UnitState"})
        EXPECT_NE(dlsym(handle, name), nullptr) << name;
    dlclose(handle);
}
