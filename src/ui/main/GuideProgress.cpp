#include "ui/main/GuideProgress.h"

#include "app/AppContext.h"

#include <QFileInfo>
#include <QProgressBar>
#include <QToolButton>
#include <QUrl>
#include <algorithm>

namespace zentuvo {

GuideProgress::GuideProgress(AppContext& app, GuideUpdates& updates, QProgressBar* bar,
                             QToolButton* cancel, QObject* parent)
    : QObject(parent), app_(app), updates_(updates), bar_(bar), cancel_(cancel) {
    bar_->setRange(0, 1000);
    bar_->setTextVisible(true);
    connect(&updates_, &GuideUpdates::sourceStarted, this, [this] {
        bar_->show();
        cancel_->show();
    });
    connect(&updates_, &GuideUpdates::progress, this, &GuideProgress::showPhase);
    connect(&updates_, &GuideUpdates::finished, this, [this] {
        bar_->hide();
        cancel_->hide();
    });
    connect(cancel_, &QToolButton::clicked, &updates_, &GuideUpdates::cancel);
    connect(&app_.preferences(), &Preferences::changed, this, &GuideProgress::applyLanguage);
    applyLanguage();
}

// A source by its file name; an address without one by its host.
QString GuideProgress::sourceName(const QString& address) {
    const QUrl url(address);
    const QString scheme = url.scheme().toLower();
    if (scheme == u"http" || scheme == u"https")
        return url.fileName().isEmpty() ? url.host() : url.fileName();
    return QFileInfo(address).fileName();
}

void GuideProgress::applyLanguage() {
    cancel_->setToolTip(app_.translate(QStringLiteral("_frmMain_cmdCancelGuide")));
    if (updates_.isRunning() && !updates_.currentSource().isEmpty())
        showPhase(phase_, bar_->value(), bar_->maximum());
}

void GuideProgress::showPhase(GuideUpdates::Phase phase, qint64 done, qint64 total) {
    phase_ = phase;
    const QString key = phase == GuideUpdates::Phase::Downloading
                            ? QStringLiteral("_frmMain_msgGuideDownloading")
                            : QStringLiteral("_frmMain_msgGuideReading");
    const QString name = sourceName(updates_.currentSource());
    bar_->setFormat(app_.translate(key).arg(QString::number(updates_.position()),
                                            QString::number(updates_.count()), name));
    bar_->setToolTip(updates_.currentSource());
    bar_->setValue(total > 0 ? int(std::min<qint64>(1000, done * 1000 / total)) : 0);
}

} // namespace zentuvo
