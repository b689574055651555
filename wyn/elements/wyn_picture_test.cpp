#include "wyn/elements/wyn_picture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "wyn/testing/test_dialog.h"

namespace {

using wyn_test::RunDialog;
using wyn_test::ScriptedDialog;

// Records what the elements ask it to draw.
class DrawingEngine : public CWynEngine {
public:
    DrawingEngine() : CWynEngine(wyn_test::Module()) {}

    void DrawImage(HDC, int x, int y, int width, int height, const wchar_t* image) override {
        drawn.push_back({image, x, y, width, height, -1, 0});
    }
    void DrawImageSkin(HDC, int x, int y, int width, int height, const wchar_t* image, int count,
                       int index, bool) override {
        drawn.push_back({image, x, y, width, height, index, count});
    }

    struct Drawn {
        std::wstring image;
        int x, y, width, height;
        int frame;
        int frames;
    };
    std::vector<Drawn> drawn;
};

TEST(WynPicture, DrawsItsImageOrItsFramesInTurn) {
    wyn_test::InitPlatform();
    DrawingEngine engine;
    RunDialog(engine, LR"(<dialog>
            <picture id="still" pic="password.png" picWidth="48" picHeight="40"/>
            <picture id="anim" pic="strip.png" picWidth="16" picHeight="16" frames="3"
                     animInterval="60000"/>
        </dialog>)",
              {[&](ScriptedDialog& d) {
                  EXPECT_EQ(d.FindById(L"still")->Measure().cx, 48) << "pixels, not dialog units";
                  EXPECT_EQ(d.FindById(L"still")->Measure().cy, 40);

                  engine.drawn.clear();
                  ::RedrawWindow(d.Window(L"still"), nullptr, nullptr,
                                 RDW_INVALIDATE | RDW_UPDATENOW);
                  ASSERT_EQ(engine.drawn.size(), 1u);
                  EXPECT_EQ(engine.drawn[0].image, L"password.png");
                  EXPECT_EQ(engine.drawn[0].width, 48);
                  EXPECT_EQ(engine.drawn[0].height, 40);

                  engine.drawn.clear();
                  HWND anim = d.Window(L"anim");
                  for (int tick = 0; tick < 3; ++tick)
                      ::SendMessageW(anim, WM_TIMER, 1, 0);
                  ASSERT_EQ(engine.drawn.size(), 3u) << "a repaint on every tick";
                  EXPECT_EQ(engine.drawn[0].frame, 1);
                  EXPECT_EQ(engine.drawn[1].frame, 2);
                  EXPECT_EQ(engine.drawn[2].frame, 0) << "back to the first after the last";
                  EXPECT_EQ(engine.drawn[2].frames, 3);
              }});
}

} // namespace
