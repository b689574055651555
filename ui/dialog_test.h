#pragma once
// Fixture of the tests of the program's dialogs: the data files in portable
// mode, the platform set up as at start, and the application's engine on the
// test program's resources.

#include "library/portable_data_test.h"
#include "ui/kv_wyn_engine.h"
#include "wyn/testing/dialog_script.h"
#include "wyn/testing/test_dialog.h"

class DialogTest : public PortableDataTest {
protected:
    void SetUp() override {
        PortableDataTest::SetUp();
        wyn_test::InitPlatform();
    }

    CkvWynEngine m_engine{::GetModuleHandleW(nullptr)};
};
