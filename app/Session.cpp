#include "app/Session.h"

#include "core/FileNames.h"

#include <QSettings>

#include <algorithm>

namespace Session {

namespace {

const QString Group = QStringLiteral("Session");

// Paths by their own bytes: a name that is not UTF-8 must come back as the
// same file.
void writeWindow(QSettings &settings, const Window &window)
{
    settings.setValue(QStringLiteral("path"), FileNames::toNative(window.path));
    settings.setValue(QStringLiteral("caretLine"), window.caretLine);
    settings.setValue(QStringLiteral("topLine"), window.topLine);
    if (window.bounds.isValid())
        settings.setValue(QStringLiteral("bounds"), window.bounds);
}

Window readWindow(const QSettings &settings)
{
    Window window;
    window.path = FileNames::fromNative(settings.value(QStringLiteral("path")).toByteArray());
    // A hand-edited or damaged value reads as 0, which places nothing.
    window.caretLine = std::max(0, settings.value(QStringLiteral("caretLine")).toInt());
    window.topLine = std::max(0, settings.value(QStringLiteral("topLine")).toInt());
    window.bounds = settings.value(QStringLiteral("bounds")).toRect();
    return window;
}

void writeGroup(QSettings &settings, const QString &name, const Window &window)
{
    settings.beginGroup(name);
    writeWindow(settings, window);
    settings.endGroup();
}

Window readGroup(QSettings &settings, const QString &name)
{
    settings.beginGroup(name);
    Window window = readWindow(settings);
    settings.endGroup();
    return window;
}

} // namespace

std::optional<State> read(QSettings &settings)
{
    settings.beginGroup(Group);
    if (!settings.contains(QStringLiteral("maximised"))) {
        settings.endGroup();
        return std::nullopt;
    }
    State state;
    state.maximised = settings.value(QStringLiteral("maximised")).toBool();
    state.command = readGroup(settings, QStringLiteral("Command"));
    state.output = readGroup(settings, QStringLiteral("Output"));
    if (settings.childGroups().contains(QStringLiteral("Master")))
        state.master = readGroup(settings, QStringLiteral("Master"));
    const int others = settings.beginReadArray(QStringLiteral("Others"));
    for (int i = 0; i < others; ++i) {
        settings.setArrayIndex(i);
        state.others.append(readWindow(settings));
    }
    settings.endArray();
    state.helpOpen = settings.value(QStringLiteral("helpOpen")).toBool();
    state.helpKeyWord = settings.value(QStringLiteral("helpKeyWord")).toString();
    state.helpBounds = settings.value(QStringLiteral("helpBounds")).toRect();
    state.explorerFilter = settings.value(QStringLiteral("explorerFilter"), -1).toInt();
    state.runLogShown = settings.value(QStringLiteral("runLogShown")).toBool();
    const int active = settings.value(QStringLiteral("active")).toInt();
    if (active >= int(Active::Other) && active <= int(Active::Another))
        state.active = static_cast<Active>(active);
    state.activeAnother = settings.value(QStringLiteral("activeAnother"), -1).toInt();
    settings.endGroup();
    return state;
}

void write(QSettings &settings, const State &state)
{
    settings.remove(Group);
    settings.beginGroup(Group);
    settings.setValue(QStringLiteral("maximised"), state.maximised);
    writeGroup(settings, QStringLiteral("Command"), state.command);
    writeGroup(settings, QStringLiteral("Output"), state.output);
    if (state.master)
        writeGroup(settings, QStringLiteral("Master"), *state.master);
    settings.beginWriteArray(QStringLiteral("Others"), int(state.others.size()));
    for (int i = 0; i < state.others.size(); ++i) {
        settings.setArrayIndex(i);
        writeWindow(settings, state.others.at(i));
    }
    settings.endArray();
    settings.setValue(QStringLiteral("helpOpen"), state.helpOpen);
    settings.setValue(QStringLiteral("helpKeyWord"), state.helpKeyWord);
    if (state.helpBounds.isValid())
        settings.setValue(QStringLiteral("helpBounds"), state.helpBounds);
    settings.setValue(QStringLiteral("explorerFilter"), state.explorerFilter);
    settings.setValue(QStringLiteral("runLogShown"), state.runLogShown);
    settings.setValue(QStringLiteral("active"), int(state.active));
    settings.setValue(QStringLiteral("activeAnother"), state.activeAnother);
    settings.endGroup();
}

} // namespace Session
