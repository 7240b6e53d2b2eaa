#pragma once

#include "app/GuideUpdates.h"

#include <QObject>

class QProgressBar;
class QToolButton;

namespace zentuvo {

class AppContext;

// The guide's refresh in the main window's bottom bar: while sources are refreshed, a
// progress bar says which one ("Downloading guide 2/3: name") and how far it is, beside a
// button that cancels the run. Its texts follow the language.
class GuideProgress : public QObject {
    Q_OBJECT
public:
    GuideProgress(AppContext& app, GuideUpdates& updates, QProgressBar* bar, QToolButton* cancel,
                  QObject* parent = nullptr);

    // How the bar names a source: its file name, else its host.
    static QString sourceName(const QString& address);
    void applyLanguage();

private:
    void showPhase(GuideUpdates::Phase phase, qint64 done, qint64 total);

    AppContext& app_;
    GuideUpdates& updates_;
    QProgressBar* bar_;
    QToolButton* cancel_;
    GuideUpdates::Phase phase_ = GuideUpdates::Phase::Reading;
};

} // namespace zentuvo
