// InstructDialog: button states over four pages, the cross-fade and the version text.
#include "DialogFixture.h"

#include "scores/InstructDialog.h"
#include "sprites/TextSprite.h"

using namespace lang;
using namespace mph;

using InstructDialogTest = DialogFixture;

TEST_F(InstructDialogTest, FourPagesWithCrossFadesAndButtonStates) {
    writePicture("page.png", 8, 8);
    std::string script = "<images> page page.png <sprites>\r\n";
    for (int i = 1; i <= 4; ++i)
        script += "pg" + std::to_string(i) + " AnimateSprite page 0 0 1 1\r\n";
    script += "pg6 AnimateSprite page 0 0 1 1\r\nbnext RectButtonSprite 200 150 40 20 1\r\n"
              "bback RectButtonSprite 100 150 40 20 1\r\nbclose RectButtonSprite 10 150 40 20 1\r\n"
              "version TextSprite 300 190 2\r\n";
    write("inst.txt", script);
    Ref<InstructDialog> d = load<InstructDialog>("instdlg InstructDialog:inst.txt 0 0 400 200 1", "instdlg");
    EXPECT_EQ(d->getPageCount(), 4) << "the series ends at the first missing number";
    EXPECT_EQ(static_cast<TextSprite*>(d->findChild("version"))->getText(), "v1.00");
    EXPECT_EQ(stateOf(*d, "bback"), ButtonSprite::Disabled);
    EXPECT_EQ(stateOf(*d, "bnext"), ButtonSprite::Normal);
    EXPECT_EQ(d->findChild("pg1")->getOpacity(), 128);
    EXPECT_EQ(d->findChild("pg2")->getOpacity(), 0);

    EXPECT_EQ(d->mouseDown(210, 160), DialogSprite::ButtonPressed);
    for (int32_t t = 1; t <= InstructDialog::kFadeTicks; ++t)
        tick(*d, t);
    EXPECT_EQ(d->findChild("pg1")->getOpacity(), 0);
    EXPECT_EQ(d->findChild("pg2")->getOpacity(), 128);
    EXPECT_EQ(stateOf(*d, "bback"), ButtonSprite::Normal);
    d->mouseDown(210, 160);
    d->mouseDown(210, 160);
    EXPECT_EQ(d->getCurrentPage(), 4);
    EXPECT_EQ(stateOf(*d, "bnext"), ButtonSprite::Disabled);
    EXPECT_EQ(d->mouseDown(210, 160), DialogSprite::Consumed) << "a disabled button takes no press";

    d->mouseDown(110, 160);
    EXPECT_EQ(d->getCurrentPage(), 3);
    EXPECT_EQ(stateOf(*d, "bnext"), ButtonSprite::Normal);
    EXPECT_EQ(d->mouseDown(20, 160), InstructDialog::Closed);
}
