// The general page with a sounds folder that does not exist: one empty item, nothing to
// play, and a stored choice that the folder no longer offers is kept until the user
// changes it.
#include "panel_options_general.h"

#include "options_fixture.h"

#include <QComboBox>

namespace {

[[maybe_unused]] const bool kShare = optionstest::useShare("no_such_share");

using optionstest::at;
using optionstest::RecordingSoundPlayer;

TEST(OptionsWithoutSounds, OneEmptyItemSavesZeroAndAStoredChoiceIsKept) {
    ASSERT_FALSE(PanelOptionsGeneral::soundFolder().isEmpty());
    EXPECT_TRUE(PanelOptionsGeneral::soundList().isEmpty());
    EXPECT_TRUE(PanelOptionsGeneral::soundPath(0).isEmpty());

    RecordingSoundPlayer player(true);
    PanelOptionsGeneral page(nullptr, "general");
    auto *combo = at<QComboBox>(&page, QStringLiteral("newMailSound"));
    ASSERT_EQ(combo->count(), 1);
    EXPECT_EQ(combo->itemText(0), QString());

    struct Case {
        int stored;
        int shown;
    } cases[] = {{0, 0}, {1, -1}, {4, -1}};
    for (const Case &c : cases) {
        DataOptionsGeneral general;
        general.newMailSound = c.stored;
        page.load(general);
        EXPECT_EQ(combo->currentIndex(), c.shown) << c.stored;
        DataOptionsGeneral saved;
        page.save(saved);
        EXPECT_EQ(saved.newMailSound, c.stored);
        // The user picks the only item there is: no sound.
        combo->setCurrentIndex(0);
        emit combo->activated(0);
        page.save(saved);
        EXPECT_EQ(saved.newMailSound, 0) << c.stored;
    }
    EXPECT_TRUE(player.played.isEmpty());
}

} // namespace
