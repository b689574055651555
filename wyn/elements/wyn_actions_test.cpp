#include "wyn/elements/wyn_actions.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "wyn/engine/wyn_engine.h"
#include "wyn/testing/test_dialog.h"

namespace {

using wyn_test::DescriptionFile;
using wyn_test::ScriptedDialog;

// Keeps the commands sent to it.
class CommandSink : public CWynElement {
public:
    using CWynElement::CWynElement;
    void DoCommand(const wchar_t* command) override { commands.push_back(command); }
    std::vector<std::wstring> commands;
};

// The engine's types plus "sink"; records help requests; viewer mode on demand.
class ActionEngine : public CWynEngine {
public:
    ActionEngine() : CWynEngine(wyn_test::Module()) {}

    std::unique_ptr<CWynElement> CreateElement(std::wstring_view name,
                                               CWynElement* parent) override {
        if (name == L"sink")
            return std::make_unique<CommandSink>(parent, this);
        return CWynEngine::CreateElement(name, parent);
    }
    void OpenHelp(HWND, const wchar_t* topic, LPARAM) override { topics.push_back(topic); }
    bool IsViewerMode() override { return viewer; }

    std::vector<std::wstring> topics;
    bool viewer = false;
};

bool Enabled(ScriptedDialog& d, const wchar_t* id) {
    return ::IsWindowEnabled(d.Window(id)) && !d.FindById(id)->IsDisabled();
}

TEST(WynActionsTest, DisablersFollowTheirOwnersValue) {
    wyn_test::InitPlatform();
    ActionEngine engine;
    DescriptionFile file(LR"(<dialog orient="vertical">
        <checkbox id="enable" label="Enable">
            <disabler applyto="name" type="int" intval="0"/>
            <disabler applyto="other" type="int" intval="0" disable="false"/>
        </checkbox>
        <textbox id="name"><disabler applyto="ok" type="emptystring"/></textbox>
        <textbox id="filled"><disabler applyto="clear" type="nonemptystring" disable="false"/></textbox>
        <textbox id="other"/>
        <button id="ok" label="OK"/>
        <button id="clear" label="Clear"/>
    </dialog>)");
    ScriptedDialog dialog(file.Path(), &engine);
    dialog.steps = {
        [](ScriptedDialog& d) {
            d.FindById(L"enable")->SetIntValue(0);
            EXPECT_FALSE(Enabled(d, L"name"));
            EXPECT_TRUE(Enabled(d, L"other")) << "disable=false turns the rule round";
            d.FindById(L"name")->SetTextValue(L"");
            EXPECT_FALSE(Enabled(d, L"ok"));
            d.FindById(L"filled")->SetTextValue(L"");
            EXPECT_FALSE(Enabled(d, L"clear"));
        },
        [](ScriptedDialog& d) {
            ::PostMessageW(d.Window(L"enable"), BM_CLICK, 0, 0); // the user checks it
            d.FindById(L"name")->SetTextValue(L"Ann");
            d.FindById(L"filled")->SetTextValue(L"x");
        },
        [](ScriptedDialog& d) {
            EXPECT_TRUE(Enabled(d, L"name"));
            EXPECT_FALSE(Enabled(d, L"other"));
            EXPECT_TRUE(Enabled(d, L"ok"));
            EXPECT_TRUE(Enabled(d, L"clear"));
            d.PressKey(VK_ESCAPE);
        },
    };
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
}

TEST(WynActionsTest, ButtonSendsCommandsAndOpensHelp) {
    wyn_test::InitPlatform();
    ActionEngine engine;
    DescriptionFile file(LR"(<dialog>
        <button id="go" label="Go">
            <sendcmd sendto="sink" cmd="run"/>
            <sendcmd sendto="sink" cmd="inspect" inViewerOnly="true"/>
            <sendcmd sendto="nowhere" cmd="lost"/>
            <openhelp topic="intro"/>
        </button>
        <sink id="sink"/>
    </dialog>)");
    ScriptedDialog dialog(file.Path(), &engine);
    dialog.steps = {
        [](ScriptedDialog& d) { ::PostMessageW(d.Window(L"go"), BM_CLICK, 0, 0); },
        [&engine](ScriptedDialog& d) {
            engine.viewer = true;
            ::PostMessageW(d.Window(L"go"), BM_CLICK, 0, 0);
        },
        [](ScriptedDialog& d) { d.PressKey(VK_ESCAPE); },
    };
    CommandSink* sink = nullptr;
    dialog.eventAnswer = [&](CWynElement*, std::wstring_view, WPARAM, LPARAM) {
        sink = dynamic_cast<CommandSink*>(dialog.FindById(L"sink"));
        return std::int64_t{0};
    };
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
    ASSERT_NE(sink, nullptr);
    EXPECT_EQ(sink->commands, (std::vector<std::wstring>{L"run", L"run", L"inspect"}));
    EXPECT_EQ(engine.topics, (std::vector<std::wstring>{L"intro", L"intro"}));
}

} // namespace
