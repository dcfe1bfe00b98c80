#pragma once

#include "TestEnv.h"
#include "app/ProcessState.h"
#include "app/Prompt.h"
#include "app/SettingsStore.h"
#include "playlist/PlayList.h"
#include "ui/ControlWindow.h"

#include <QFile>
#include <QtTest>

#include <memory>

// What the control window tests share: a store emptied for every test (no splash, no
// update check), scripted prompts, and a real window opened on a file.
class WindowTest : public QObject
{
protected:
    std::unique_ptr<TestEnv> env;
    std::unique_ptr<SettingsStore> store;
    ScriptedPrompt prompt;
    ProcessState process;
    std::unique_ptr<ControlWindow> w;

    void freshStore()
    {
        store = std::make_unique<SettingsStore>(QStringLiteral("kinetrope"));
        QFile::remove(store->fileName());
        store->write(Key::SplashDisable, 1);
        store->write(Key::AutoUpdateNotification, 0);
        prompt = ScriptedPrompt();
        process = ProcessState();
    }

    ControlWindow &open(const QString &file)
    {
        w = std::make_unique<ControlWindow>(*store, prompt, process);
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get()))
            qWarning("control window not exposed");
        w->playList().startFromSelection({file});
        return *w;
    }

    void closeWindow()
    {
        w.reset();
        QTest::qWait(50); // let deferred deletions run
    }
};
