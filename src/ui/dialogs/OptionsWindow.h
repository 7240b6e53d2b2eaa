#pragma once

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace zentuvo {

class AppContext;
class GuideSourcesFrame;
class MainWindowApi;

// frmOptions: the interface language, whether the country filter is restored at start-up,
// the default video size, channel checks and the programme guide's sources. Modal.
//
// The remember box takes effect at once, whichever button closes the window; it is stored
// with the other settings at shutdown. OK stores the size and the language in the settings
// file and translates the main window again; Close and Escape store nothing.
class OptionsWindow : public QDialog {
    Q_OBJECT
public:
    OptionsWindow(AppContext& app, MainWindowApi& main, QWidget* parent = nullptr);

    void applyLanguage();
    // Fills cboLanguage from the catalogue's languages and selects the current one.
    void loadLanguages();
    void onOkClicked();
    void onRememberCountryClicked();
    GuideSourcesFrame* guideSources() const { return Frame5_; }

private:
    void buildLayout();
    void initialize();

    AppContext& app_;
    MainWindowApi& main_;

    QGroupBox* Frame1_ = nullptr;
    QGroupBox* Frame2_ = nullptr;
    QGroupBox* Frame3_ = nullptr;
    QGroupBox* Frame4_ = nullptr; // channel checks
    GuideSourcesFrame* Frame5_ = nullptr;
    QCheckBox* chkHideOffline_ = nullptr;
    QCheckBox* chkCheckShownList_ = nullptr;
    QLabel* lblLanguage_ = nullptr;
    QComboBox* cboLanguage_ = nullptr;
    QLabel* lblDefaultCountry_ = nullptr;
    QLabel* lblRememberCountry_ = nullptr;
    QCheckBox* chkRememberCountry_ = nullptr;
    QLabel* lblDefaultSize_ = nullptr;
    QLabel* lblRememberDefaultSize_ = nullptr;
    QRadioButton* optSizeOriginal_ = nullptr;
    QRadioButton* optSizeFitWindow_ = nullptr;
    QButtonGroup* sizeGroup_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdClose_ = nullptr;
};

} // namespace zentuvo
