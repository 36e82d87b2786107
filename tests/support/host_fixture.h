// Test doubles for the host's command line and message boxes, and a fixture
// that installs a fresh host with both for each test.
#pragma once
#include <acad_host.h>
#include "support/leak_checked_test.h"
#include "support/scripted_dialogs.h"
#include <message_box.h>

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

class ScriptedCommandLine : public HostCommandLine {
public:
    std::deque<std::string> input;
    std::string output;

    bool readLine(std::string& line) override;
    void write(const std::string& text) override { output += text; }
};

struct RecordedBox {
    std::string text;
    std::string caption;
    unsigned type = 0;
};

class RecordingMessageBoxes : public MessageBoxDriver {
public:
    std::vector<RecordedBox> boxes;
    std::deque<int> answers; // for questions; IDOK when empty

    int show(HWND owner, const std::string& text, const std::string& caption, UINT type) override;
};

class HostFixture : public LeakCheckedTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Queues command-line input, one entry a line.
    void Type(std::initializer_list<std::string> lines);

    AcadHost host;
    ScriptedCommandLine commandLine;
    RecordingMessageBoxes messageBoxes;
    ScriptedDialogs dialogs;
    int kernelHandlesBefore = 0;
};

// Attaches the module core of this test process to the resource module in
// the build's bin folder, as process attach does for the loaded module.
class AttachedModuleFixture : public HostFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    HINSTANCE fakeModule = nullptr;
};
