#pragma once

#include "data/GuideStore.h"

#include <QGroupBox>
#include <functional>
#include <vector>

class QLabel;
class QPushButton;
class QSpinBox;
class QTreeWidget;

namespace zentuvo {

class AppContext;

// Frame5 of the options window: the programme guide's sources (an XMLTV file or an http(s)
// address each) with when each was refreshed last, what it gave and why its last refresh
// failed; Add, Remove and "Refresh now"; and how many hours pass before a source is
// refreshed again at start-up. Adding and removing take effect at once (removing a source
// drops its programmes); the hours are stored by the options window's OK. The guide file is
// read and written off the GUI thread.
class GuideSourcesFrame : public QGroupBox {
    Q_OBJECT
public:
    // Asks the user for a source to add: "" when none is given.
    using SourceAsker = std::function<QString(QWidget* parent)>;

    GuideSourcesFrame(AppContext& app, QWidget* parent = nullptr);
    ~GuideSourcesFrame() override;

    void applyLanguage();
    // Reads the sources again (after a refresh ended).
    void reload();
    void addSource(const QString& text);
    void removeSelected();

    int refreshHours() const;
    void setRefreshHours(int hours);
    void setSourceAsker(SourceAsker asker) { asker_ = std::move(asker); }

    QTreeWidget* list() const { return lvwGuideSources_; }
    // No read or write of the guide file is under way.
    bool isIdle() const { return busy_ == 0; }

signals:
    // "Refresh now": every source, in the background.
    void refreshRequested();

private:
    void buildLayout();
    // Runs work on the guide file off the GUI thread, then shows the sources.
    void run(std::function<void(const QString& guideDb)> work);
    void showSources(const std::vector<GuideSource>& sources, const QString& error);
    QString term(const char* key) const;

    AppContext& app_;
    QString guideDb_;
    SourceAsker asker_;
    int busy_ = 0;
    std::vector<GuideSource> sources_;
    QLabel* lblGuideSources_ = nullptr;
    QTreeWidget* lvwGuideSources_ = nullptr;
    QLabel* lblGuideError_ = nullptr;
    QPushButton* cmdGuideAdd_ = nullptr;
    QPushButton* cmdGuideRemove_ = nullptr;
    QPushButton* cmdGuideRefresh_ = nullptr;
    QLabel* lblGuideHours_ = nullptr;
    QSpinBox* spnGuideHours_ = nullptr;
};

} // namespace zentuvo
