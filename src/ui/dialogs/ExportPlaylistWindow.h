#pragma once

#include "data/MyListRepository.h"

#include <QDialog>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zentuvo {

class AppContext;
class MainWindowApi;

// frmExportPlaylist: writes My List (all of it, one group, or the channels without a group)
// or the catalogue's favourites to an M3U playlist file, away from the window.
class ExportPlaylistWindow : public QDialog {
    Q_OBJECT
public:
    // Asks where to save: a path, or "" when the user chose none.
    using FileChooser = std::function<QString(const QString& title, const QString& proposed)>;

    ExportPlaylistWindow(AppContext& app, MainWindowApi& main, QWidget* parent = nullptr);

    void setFileChooser(FileChooser chooser) { chooser_ = std::move(chooser); }
    void setFile(const QString& path);
    // Chooses the entry of cboWhat: 0 all of My List, then each group, then the channels
    // without a group (when any), last the favourites.
    void setChoice(int index);

    void onExportClicked();
    void onBrowseClicked();
    bool isRunning() const { return running_; }

signals:
    void finished();

protected:
    void done(int result) override;

private:
    struct Choice {
        bool favourites = false;
        MyListGroupFilter filter;
    };
    void buildLayout();
    void fillChoices();
    QString term(const char* key) const;

    AppContext& app_;
    MainWindowApi& main_;
    FileChooser chooser_;
    QList<Choice> choices_;
    QComboBox* cboWhat_ = nullptr;
    QLineEdit* txtFile_ = nullptr;
    QLabel* lblWhat_ = nullptr;
    QLabel* lblFile_ = nullptr;
    QPushButton* cmdBrowse_ = nullptr;
    QPushButton* cmdExport_ = nullptr;
    QPushButton* cmdClose_ = nullptr;
    bool running_ = false;
};

} // namespace zentuvo
