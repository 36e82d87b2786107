// A host with the module attached when the test says, from a folder of its
// choosing, so that the test decides what lies beside the module (the menu
// file, the help file). The module is detached and freed at the end.
#pragma once
#include "support/host_fixture.h"

#include "app/gwell_app.h"

#include <windows.h>

#include <filesystem>
#include <string>

class ModuleInFolderFixture : public HostFixture {
protected:
    void TearDown() override
    {
        if (module) {
            TheGwellApp().DetachProcess();
            FreeLibrary(module);
        }
        HostFixture::TearDown();
    }
    // The module's directory is the folder its resource module is loaded
    // from; a folder other than the build's gets a copy of it.
    void AttachFrom(const std::string& folder)
    {
        if (folder != GW_BIN_DIR)
            std::filesystem::copy_file(GW_BIN_DIR "/gwell16res.dll", folder + "/gwell16res.dll");
        module = LoadLibraryA((folder + "/gwell16res.dll").c_str());
        ASSERT_NE(module, nullptr);
        ASSERT_TRUE(TheGwellApp().AttachProcess(module));
    }

    HMODULE module = nullptr;
};
