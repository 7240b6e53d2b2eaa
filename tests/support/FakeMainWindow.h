#pragma once
// A stand-in for the main window as the dialogs and the recorder see it: it counts what
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
    bool isFullVideo() const override { return fullVideo; }
    void fillMyList() override { ++myListRefills; }
    void applyLanguage() override { ++languageCalls; }

    QWidget widget;
    bool fullVideo = false;
    int myListRefills = 0;
    int languageCalls = 0;

private:
    bool parentToWidget_;
};

} // namespace zentuvo::test
