#pragma once

#include "data/MyList.h"

#include <QDialog>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class QToolButton;

namespace zentuvo {

class AppContext;
class MainWindowApi;
class Player;
class VideoView;

// The mail body that proposes a channel for the catalogue: one "Label:" line per field,
// each line break (those inside the description too) doubled, so that the encoded mail
// shows "%0A%0A" for each.
QString channelSubmissionBody(const QString& name, const QString& streamUrl,
                              const QString& description);

// The subject of that mail.
inline const QString kSubmissionSubject = QStringLiteral("Zentuvo-Channel-submission");

// frmChannelAdd: the modal editor of one My List channel. myListNumber chooses the mode: 0
// for a new channel, else the My List channel to modify. The channel's fields go through the
// editor's record, which is what it saved once it closes.
//
// testPlayer is the editor's own player, with which the typed address can be tried; the
// editor keeps it for its lifetime.
class ChannelEditor : public QDialog {
    Q_OBJECT
public:
    ChannelEditor(AppContext& app, MainWindowApi& main, std::unique_ptr<Player> testPlayer,
                  qint32 myListNumber = 0, QWidget* parent = nullptr);
    ~ChannelEditor() override;

    // Checks the fields in order, copying each into the record as it passes; false (after
    // its message) at the first that fails.
    bool validate();
    // validate(), then the record's save() (new channel) or update(); false when either fails.
    bool saveFormValues();
    // cmdOK: saves, refills the main window's My List and closes.
    void onOkClicked();
    // Plays the typed stream address in the test player.
    void onTestClicked();
    void onStopClicked();
    // Opens the typed home page.
    void onVisitHomePageClicked();
    // Asks, then prepares a mail proposing the channel for the catalogue.
    void onSubmitClicked();
    // The status line of the test player; run every second.
    void updateStatus();

    Player* testPlayer() const { return player_.get(); }
    // The channel as validated and, after a save, as stored (with its number once a new
    // channel has been saved).
    const MyListRecord& record() const { return record_; }
    // The My List channel the editor modifies; 0 while it makes a new one.
    qint32 myListNumber() const { return myListNumber_; }

signals:
    // The groups in use are in the group selector (they are read on a worker thread).
    void groupsLoaded();

protected:
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    void initialize();
    void loadCountries();
    // Starts reading the groups in use, to choose from; a new name can be typed in.
    void loadGroups();
    void showFormValues();
    void setCaptions();

    AppContext& app_;
    MainWindowApi& main_;
    std::unique_ptr<Player> player_;
    qint32 myListNumber_ = 0;
    MyListRecord record_;

    QLabel* lblInfo_ = nullptr;
    QLabel* lblChannelName_ = nullptr;
    QLabel* lblStreamURL_ = nullptr;
    QLabel* lblHomePage_ = nullptr;
    QLabel* lblKbps_ = nullptr;
    QLabel* lblCountry_ = nullptr;
    QLabel* lblDescription_ = nullptr;
    QLabel* lblGroup_ = nullptr;
    QLabel* lblUserAgent_ = nullptr;
    QLabel* lblReferrer_ = nullptr;
    QLineEdit* txtChannelName_ = nullptr;
    QLineEdit* txtStreamURL_ = nullptr;
    QLineEdit* txtHomePage_ = nullptr;
    QLineEdit* txtKbps_ = nullptr;
    QPlainTextEdit* txtDescription_ = nullptr;
    QComboBox* cboCountry_ = nullptr;
    QComboBox* cboGroup_ = nullptr; // editable
    QLineEdit* txtUserAgent_ = nullptr;
    QLineEdit* txtReferrer_ = nullptr;
    VideoView* VLCPluginTest_ = nullptr;
    QLabel* lblStreamingInfo_ = nullptr;
    QToolButton* imgButtonTest_ = nullptr;
    QToolButton* imgButtonStop_ = nullptr;
    QToolButton* imgButtonVisitHomePage_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdClose_ = nullptr;
    QPushButton* cmdSubmit_ = nullptr;
    QTimer* statusTimer_ = nullptr;
};

} // namespace zentuvo
