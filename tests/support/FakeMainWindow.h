#pragma once
// A stand-in for the main window as the dialogs and the recorder see it: it records what
// they ask of it and answers from its fields.

#include "ui/MainWindowApi.h"

#include <QString>
#include <QStringList>
#include <QWidget>

namespace zentuvo::test {

class FakeMain : public MainWindowApi {
public:
    // With parentToWidget, windows get `widget` as their parent; else none.
    explicit FakeMain(bool parentToWidget = false) : parentToWidget_(parentToWidget) {}

    QWidget* mainWidget() override { return parentToWidget_ ? &widget : nullptr; }
    bool IsFullVideo() const override { return fullVideo; }
    void PlayVideo(const QString& key) override { played << key; }
    void PlayPreview(const QString& key) override { previewed << key; }
    void MakeLvwMyListContents() override { ++myListRefills; }
    void SetLanguage() override { ++languageCalls; }
    QString SelectedChannelKey() const override { return selectedKey; }
    QString MainPlayerTag() const override { return tag; }
    QString PlayerVersionInfo() const override { return version; }

    QWidget widget;
    bool fullVideo = false;
    QString selectedKey;
    QString tag; // what the main player plays
    QString version = QStringLiteral("3.0.21 Vetinari");
    QStringList played, previewed;
    int myListRefills = 0;
    int languageCalls = 0;

private:
    bool parentToWidget_;
};

} // namespace zentuvo::test
