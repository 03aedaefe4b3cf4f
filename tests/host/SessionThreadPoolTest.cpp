// The host process keeps TBB loaded for the whole session, as Maya does, so that a plug-in's
// TBB worker threads never run on after their library was unloaded with the plug-in.

#include <gtest/gtest.h>

#include <dlfcn.h>

TEST(SessionThreadPool, TbbIsResidentWithoutAnyPlugin)
{
    // RTLD_NOLOAD finds the library only when something already loaded it.
    void* tbb = dlopen("libtbb.so.12", RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(tbb, nullptr) << "the host library should load TBB itself";
    dlclose(tbb);
}
