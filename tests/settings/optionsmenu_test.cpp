// The Options menu: its items, check marks, values and what it hands to a save.
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "optionsmenu.h"

using tessarin::LoadedSettings;
using tessarin::OptionsMenu;
using tessarin::SavedSettings;
using Option = OptionsMenu::Option;

namespace {

QMenu* submenu(QMenu& menu, const QString& title) {
    for (QAction* action : menu.actions()) {
        if (action->menu() && action->text() == title) return action->menu();
    }
    return nullptr;
}

QAction* item(QMenu& menu, const QString& group, const QString& caption) {
    QMenu* sub = submenu(menu, group);
    if (!sub) return nullptr;
    for (QAction* action : sub->actions()) {
        if (action->text() == caption) return action;
    }
    return nullptr;
}

QAction* topItem(QMenu& menu, const QString& caption) {
    for (QAction* action : menu.actions()) {
        if (action->text() == caption) return action;
    }
    return nullptr;
}

QStringList ticked(QMenu& menu, const QString& group) {
    QStringList captions;
    if (QMenu* sub = submenu(menu, group)) {
        for (QAction* action : sub->actions()) {
            if (action->isChecked()) captions << action->text();
        }
    }
    return captions;
}

int groupValue(const OptionsMenu& options, const QString& group) {
    if (group == "Bot Speed") return options.botSpeedMs();
    if (group == "Time Speed") return options.timeSpeedMs();
    if (group == "Turn Sound") return options.turnSoundNew() ? 1 : 0;
    if (group == "Computer Strength") return options.botStrength();
    return options.textSize();
}

const QStringList kGroups{"Bot Speed", "Time Speed", "Turn Sound", "Text Size",
                          "Computer Strength"};

}  // namespace

class OptionsMenuTest : public QObject {
    Q_OBJECT

  private slots:
    void itemsAndStartValues() {
        QMenu menu;
        OptionsMenu options(&menu);
        menu.addAction("Scroll Chat Off");

        QStringList captions;
        for (QAction* action : menu.actions()) captions << action->text();
        QCOMPARE(captions, (QStringList{"Bot Speed", "Time Speed", "Turn Sound", "Play Sounds",
                                        "Player Phrase Sounds", "Text Color", "Text Size",
                                        "Computer Strength", "Scroll Chat Off"}));
        QCOMPARE(submenu(menu, "Text Size")->actions().size(), 4);

        QCOMPARE(options.botSpeedMs(), 0);
        QCOMPARE(options.timeSpeedMs(), 0);
        QCOMPARE(options.turnSoundNew(), false);
        QCOMPARE(options.playSounds(), true);
        QCOMPARE(options.playerPhraseSounds(), true);
        QCOMPARE(options.chatColour(), 0u);
        QCOMPARE(options.textSize(), 10);
        QCOMPARE(ticked(menu, "Bot Speed"), QStringList{"Normal"});
        QCOMPARE(ticked(menu, "Time Speed"), QStringList{"Normal"});
        QCOMPARE(ticked(menu, "Turn Sound"), QStringList{"Classic"});
        QCOMPARE(ticked(menu, "Text Size"), QStringList{});
        QCOMPARE(ticked(menu, "Computer Strength"), QStringList{"Normal"});
        QVERIFY(topItem(menu, "Play Sounds")->isChecked());
        QVERIFY(topItem(menu, "Player Phrase Sounds")->isChecked());
    }

    void choice_data() {
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("option");
        QTest::addColumn<int>("value");
        const auto row = [](const char* group, const char* caption, Option option, int value) {
            QTest::addRow("%s %s", group, caption)
                << QString(group) << QString(caption) << int(option) << value;
        };
        row("Bot Speed", "Slow", Option::BotSpeed, 2000);
        row("Bot Speed", "Normal", Option::BotSpeed, 1000);
        row("Bot Speed", "Fast", Option::BotSpeed, 500);
        row("Time Speed", "Short", Option::TimeSpeed, 500);
        row("Time Speed", "Normal", Option::TimeSpeed, 1000);
        row("Time Speed", "Long", Option::TimeSpeed, 1500);
        row("Turn Sound", "New", Option::TurnSound, 1);
        row("Turn Sound", "Classic", Option::TurnSound, 0);
        row("Text Size", "8", Option::TextSize, 8);
        row("Text Size", "10", Option::TextSize, 10);
        row("Text Size", "12", Option::TextSize, 12);
        row("Text Size", "14", Option::TextSize, 14);
        row("Computer Strength", "Strong", Option::BotStrength, 1);
        row("Computer Strength", "Expert", Option::BotStrength, 2);
        row("Computer Strength", "Normal", Option::BotStrength, 0);
    }

    // A choice sets its value, ticks only its item, leaves the other groups alone and is
    // reported once. Choosing it a second time keeps it ticked.
    void choice() {
        QFETCH(QString, group);
        QFETCH(QString, caption);
        QFETCH(int, option);
        QFETCH(int, value);
        QMenu menu;
        OptionsMenu options(&menu);
        QMap<QString, QStringList> before;
        for (const QString& g : kGroups) before[g] = ticked(menu, g);
        QSignalSpy changed(&options, &OptionsMenu::changed);

        QAction* chosen = item(menu, group, caption);
        QVERIFY(chosen);
        chosen->trigger();
        QCOMPARE(groupValue(options, group), value);
        QCOMPARE(ticked(menu, group), QStringList{caption});
        for (const QString& g : kGroups) {
            if (g != group) QCOMPARE(ticked(menu, g), before[g]);
        }
        QCOMPARE(changed.size(), 1);
        QCOMPARE(int(changed[0][0].value<Option>()), option);

        chosen->trigger();
        QCOMPARE(ticked(menu, group), QStringList{caption});
        QCOMPARE(changed.size(), 2);
    }

    void loadedTextSize_data() {
        QTest::addColumn<QList<int>>("sizes");
        QTest::addColumn<QStringList>("expectedTicks");
        QTest::addRow("9 ticks nothing") << QList<int>{9} << QStringList{};
        QTest::addRow("14") << QList<int>{14} << QStringList{"14"};
        QTest::addRow("14 then 9") << QList<int>{14, 9} << QStringList{};
        QTest::addRow("9 then 8") << QList<int>{9, 8} << QStringList{"8"};
    }

    void loadedTextSize() {
        QFETCH(QList<int>, sizes);
        QFETCH(QStringList, expectedTicks);
        QMenu menu;
        OptionsMenu options(&menu);
        LoadedSettings loaded;
        for (int size : sizes) {
            loaded.textSize = size;
            options.applyLoaded(loaded);
        }
        QCOMPARE(options.textSize(), sizes.last());
        QCOMPARE(ticked(menu, "Text Size"), expectedTicks);
    }

    void loadingAppliesWithoutReporting() {
        QMenu menu;
        OptionsMenu options(&menu);
        QSignalSpy changed(&options, &OptionsMenu::changed);
        LoadedSettings loaded;
        loaded.botSpeedMs = 500;
        loaded.timeSpeedMs = 1500;
        loaded.turnSoundNew = true;
        loaded.textColour = 0x00FF00;
        loaded.playSounds = false;
        loaded.playerPhraseSounds = false;
        loaded.botStrength = 2;
        options.applyLoaded(loaded);

        QCOMPARE(options.botSpeedMs(), 500);
        QCOMPARE(ticked(menu, "Bot Speed"), QStringList{"Fast"});
        QCOMPARE(options.timeSpeedMs(), 1500);
        QCOMPARE(ticked(menu, "Time Speed"), QStringList{"Long"});
        QCOMPARE(ticked(menu, "Turn Sound"), QStringList{"New"});
        QCOMPARE(options.chatColour(), 0x00FF00u);
        QCOMPARE(options.playSounds(), false);
        QCOMPARE(options.playerPhraseSounds(), false);
        QCOMPARE(topItem(menu, "Play Sounds")->isChecked(), false);
        QCOMPARE(ticked(menu, "Computer Strength"), QStringList{"Expert"});
        QCOMPARE(changed.size(), 0);
    }

    void switchesToggle() {
        QMenu menu;
        OptionsMenu options(&menu);
        QSignalSpy changed(&options, &OptionsMenu::changed);
        topItem(menu, "Play Sounds")->trigger();
        QCOMPARE(options.playSounds(), false);
        QCOMPARE(options.playerPhraseSounds(), true);
        topItem(menu, "Player Phrase Sounds")->trigger();
        QCOMPARE(options.playerPhraseSounds(), false);
        topItem(menu, "Play Sounds")->trigger();
        QCOMPARE(options.playSounds(), true);
        QCOMPARE(changed.size(), 3);
        QCOMPARE(changed[0][0].value<Option>(), Option::PlaySounds);
        QCOMPARE(changed[1][0].value<Option>(), Option::PlayerPhraseSounds);
    }

    void textColour() {
        QMenu menu;
        OptionsMenu options(&menu);
        QSignalSpy changed(&options, &OptionsMenu::changed);
        QList<std::uint32_t> offered;
        std::optional<std::uint32_t> answer = 0x0000FF;
        options.setColourPicker([&](std::uint32_t current) {
            offered << current;
            return answer;
        });

        topItem(menu, "Text Color")->trigger();
        QCOMPARE(options.chatColour(), 0x0000FFu);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed[0][0].value<Option>(), Option::TextColor);

        answer.reset();  // the user cancels
        topItem(menu, "Text Color")->trigger();
        QCOMPARE(options.chatColour(), 0x0000FFu);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(offered, (QList<std::uint32_t>{0, 0x0000FF}));
    }

    void toSaveHoldsOnlyKnownValuesUntilLoaded() {
        QMenu menu;
        OptionsMenu options(&menu);
        QCOMPARE(options.toSave(), SavedSettings{});

        item(menu, "Time Speed", "Long")->trigger();
        SavedSettings expected;
        expected.timeSpeedMs = 1500;
        QCOMPARE(options.toSave(), expected);

        LoadedSettings loaded;
        loaded.textSize = 9;
        options.applyLoaded(loaded);
        const SavedSettings all = options.toSave();
        QCOMPARE(all.textSize, std::optional<int>(9));
        QCOMPARE(all.botSpeedMs, std::optional<int>(1000));
        QCOMPARE(all.timeSpeedMs, std::optional<int>(1000));
        QCOMPARE(all.turnSoundNew, std::optional<bool>(false));
        QCOMPARE(all.textColour, std::optional<std::uint32_t>(0));
        QCOMPARE(all.playSounds, std::optional<bool>(true));
        QCOMPARE(all.playerPhraseSounds, std::optional<bool>(true));
    }

    // Closing the window, or changing an option, before the settings were first read must
    // not overwrite the stored choices with the start-up placeholders.
    void saveBeforeLoadKeepsStoredChoices() {
        QTemporaryDir dir;
        const tessarin::TessarinSettings settings(dir.filePath("zorvlobby.ini"));
        SavedSettings stored;
        stored.textSize = 14;
        stored.botSpeedMs = 2000;
        stored.textColour = 0x0000FF;
        stored.playSounds = false;
        QVERIFY(settings.saveinifile(stored).ok());

        QMenu menu;
        OptionsMenu options(&menu);
        item(menu, "Time Speed", "Long")->trigger();
        SavedSettings save = options.toSave();
        save.bounds = QRect(10, 20, 800, 500);
        QVERIFY(settings.saveinifile(save).ok());

        const LoadedSettings back = settings.read();
        QCOMPARE(back.textSize, 14);
        QCOMPARE(back.botSpeedMs, 2000);
        QCOMPARE(back.textColour, 0x0000FFu);
        QCOMPARE(back.playSounds, false);
        QCOMPARE(back.timeSpeedMs, 1500);
        QCOMPARE(back.bounds, QRect(10, 20, 800, 500));
    }
};

QTEST_MAIN(OptionsMenuTest)
#include "optionsmenu_test.moc"
