#include "ui/dialogs/OptionsWindow.h"

#include "app/AppContext.h"
#include "app/Settings.h"
#include "common/Messages.h"
#include "data/CatalogueLists.h"
#include "data/Database.h"
#include "ui/MainWindowApi.h"
#include "ui/dialogs/DialogSupport.h"
#include "ui/dialogs/GuideSourcesFrame.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace zentuvo {

namespace {

QLabel* makeLabel(const char* name, const char* text, QWidget* parent) {
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(true);
    return label;
}

QLabel* makePicture(const char* name, const char* picture, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setPixmap(dialogPicture(QString::fromLatin1(picture), QSize(28, 28)));
    label->setFixedSize(32, 32);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

OptionsWindow::OptionsWindow(AppContext& app, MainWindowApi& main, QWidget* parent)
    : QDialog(parent), app_(app), main_(main) {
    setObjectName(QStringLiteral("frmOptions"));
    setModal(true);
    setWindowTitle(QStringLiteral("Options"));
    buildLayout();
    closeOnEscape(this);
    initialize();
}

void OptionsWindow::buildLayout() {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(16, 14, 16, 14);
    outer->setSpacing(12);

    // Language.
    Frame1_ = new QGroupBox(this);
    Frame1_->setObjectName(QStringLiteral("Frame1"));
    auto* languageRow = new QGridLayout(Frame1_);
    languageRow->setHorizontalSpacing(10);
    lblLanguage_ = makeLabel("lblLanguage", "Language interface", Frame1_);
    cboLanguage_ = new QComboBox(Frame1_);
    cboLanguage_->setObjectName(QStringLiteral("cboLanguage"));
    cboLanguage_->setMinimumContentsLength(14);
    lblLanguage_->setBuddy(cboLanguage_);
    languageRow->addWidget(makePicture("Image1", "logo", Frame1_), 0, 0);
    languageRow->addWidget(lblLanguage_, 0, 1);
    languageRow->addWidget(cboLanguage_, 0, 2);
    languageRow->setColumnStretch(1, 1);
    outer->addWidget(Frame1_);

    // The country filter.
    Frame2_ = new QGroupBox(this);
    Frame2_->setObjectName(QStringLiteral("Frame2"));
    auto* countryGrid = new QGridLayout(Frame2_);
    countryGrid->setHorizontalSpacing(10);
    lblDefaultCountry_ = makeLabel("lblDefaultCountry", "Default country", Frame2_);
    QFont bold = lblDefaultCountry_->font();
    bold.setBold(true);
    lblDefaultCountry_->setFont(bold);
    lblRememberCountry_ =
        makeLabel("lblRememberCountry", "Remember last selected country at startup", Frame2_);
    chkRememberCountry_ = new QCheckBox(QStringLiteral("Remember"), Frame2_);
    chkRememberCountry_->setObjectName(QStringLiteral("chkRememberCountry"));
    countryGrid->addWidget(makePicture("Image2", "favourites", Frame2_), 0, 0, 2, 1, Qt::AlignTop);
    countryGrid->addWidget(lblDefaultCountry_, 0, 1, 1, 2);
    countryGrid->addWidget(lblRememberCountry_, 1, 1);
    countryGrid->addWidget(chkRememberCountry_, 1, 2);
    countryGrid->setColumnStretch(1, 1);
    outer->addWidget(Frame2_);

    // The video size.
    Frame3_ = new QGroupBox(this);
    Frame3_->setObjectName(QStringLiteral("Frame3"));
    auto* sizeGrid = new QGridLayout(Frame3_);
    sizeGrid->setHorizontalSpacing(10);
    lblDefaultSize_ = makeLabel("lblDefaultSize", "Default size", Frame3_);
    lblDefaultSize_->setFont(bold);
    lblRememberDefaultSize_ =
        makeLabel("lblRememberDefaultSize", "Remember default size at starup", Frame3_);
    optSizeOriginal_ = new QRadioButton(QStringLiteral("Original size"), Frame3_);
    optSizeOriginal_->setObjectName(QStringLiteral("optSizeOriginal"));
    optSizeFitWindow_ = new QRadioButton(QStringLiteral("Fit window"), Frame3_);
    optSizeFitWindow_->setObjectName(QStringLiteral("optSizeFitWindow"));
    sizeGroup_ = new QButtonGroup(this);
    sizeGroup_->addButton(optSizeOriginal_, 1);
    sizeGroup_->addButton(optSizeFitWindow_, 2);
    auto* options = new QHBoxLayout;
    options->setSpacing(16);
    options->addWidget(optSizeOriginal_);
    options->addWidget(optSizeFitWindow_);
    options->addStretch(1);
    sizeGrid->addWidget(makePicture("Image3", "fitwindow", Frame3_), 0, 0, 3, 1, Qt::AlignTop);
    sizeGrid->addWidget(lblDefaultSize_, 0, 1);
    sizeGrid->addWidget(lblRememberDefaultSize_, 1, 1);
    sizeGrid->addLayout(options, 2, 1);
    sizeGrid->setColumnStretch(1, 1);
    outer->addWidget(Frame3_);

    // Channel checks.
    Frame4_ = new QGroupBox(this);
    Frame4_->setObjectName(QStringLiteral("Frame4"));
    auto* checkGrid = new QGridLayout(Frame4_);
    checkGrid->setHorizontalSpacing(10);
    chkHideOffline_ = new QCheckBox(QStringLiteral("Hide offline channels"), Frame4_);
    chkHideOffline_->setObjectName(QStringLiteral("chkHideOffline"));
    chkCheckShownList_ =
        new QCheckBox(QStringLiteral("Check the shown list when it changes"), Frame4_);
    chkCheckShownList_->setObjectName(QStringLiteral("chkCheckShownList"));
    checkGrid->addWidget(makePicture("Image4", "health_online", Frame4_), 0, 0, 2, 1, Qt::AlignTop);
    checkGrid->addWidget(chkHideOffline_, 0, 1);
    checkGrid->addWidget(chkCheckShownList_, 1, 1);
    checkGrid->setColumnStretch(1, 1);
    outer->addWidget(Frame4_);

    // The programme guide's sources.
    Frame5_ = new GuideSourcesFrame(app_, this);
    outer->addWidget(Frame5_, 1);

    outer->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    cmdOK_ = new QPushButton(QStringLiteral("OK"), this);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setDefault(true);
    cmdClose_ = new QPushButton(QStringLiteral("Close"), this);
    cmdClose_->setObjectName(QStringLiteral("cmdClose"));
    cmdClose_->setAutoDefault(false);
    for (QPushButton* b : {cmdOK_, cmdClose_}) {
        b->setMinimumWidth(96);
        buttons->addWidget(b);
    }
    outer->addLayout(buttons);

    connect(chkRememberCountry_, &QCheckBox::clicked, this,
            &OptionsWindow::onRememberCountryClicked);
    connect(cmdOK_, &QPushButton::clicked, this, &OptionsWindow::onOkClicked);
    connect(cmdClose_, &QPushButton::clicked, this, &QDialog::reject);
    setMinimumWidth(460);
    resize(760, 0);
}

void OptionsWindow::initialize() {
    keepAboveFullVideo(this, main_);
    applyLanguage();
    setWindowTitle(app_.translate(QStringLiteral("_frmOptions_caption")));
    chkRememberCountry_->setChecked(app_.preferences().rememberCountry() == 1);
    chkHideOffline_->setChecked(app_.preferences().hideOffline());
    chkCheckShownList_->setChecked(app_.preferences().checkShownList());
    Frame5_->setRefreshHours(app_.preferences().guideRefreshHours());
    if (app_.preferences().videoSizeMode() == 1)
        optSizeOriginal_->setChecked(true);
    else if (app_.preferences().videoSizeMode() == 2)
        optSizeFitWindow_->setChecked(true);
    loadLanguages();
}

void OptionsWindow::applyLanguage() {
    const auto set = [this](auto* widget, const char* key) {
        widget->setText(app_.translate(QString::fromLatin1(key)));
    };
    setWindowTitle(app_.translate(QStringLiteral("_frmOptions_caption")));
    set(cmdOK_, "_frmOptions_cmdOK");
    set(cmdClose_, "_frmOptions_cmdClose");
    set(lblDefaultCountry_, "_frmOptions_lblDefaultCountry");
    set(lblRememberCountry_, "_frmOptions_lblRememberCountry");
    set(chkRememberCountry_, "_frmOptions_chkRememberCountry");
    set(lblDefaultSize_, "_frmOptions_lblDefaultSize");
    set(lblRememberDefaultSize_, "_frmOptions_lblRememberDefaultSize");
    set(optSizeOriginal_, "_frmOptions_optSizeOriginal");
    set(optSizeFitWindow_, "_frmOptions_optSizeFitWindow");
    set(lblLanguage_, "_frmOptions_lblLanguage");
    set(chkHideOffline_, "_frmOptions_chkHideOffline");
    set(chkCheckShownList_, "_frmOptions_chkCheckShownList");
    Frame5_->applyLanguage();
}

void OptionsWindow::loadLanguages() {
    try {
        cboLanguage_->clear();
        readLanguagesByName(app_.paths().catalogue, [this](int id, const QString& name) {
            cboLanguage_->addItem(name, QVariant(qint32(id)));
        });
        cboLanguage_->setCurrentIndex(
            cboLanguage_->findData(QVariant(qint32(app_.preferences().language()))));
    } catch (const DbError& e) {
        app_.messages.critical(QStringLiteral("Error in LoadComboLanguage: ") + e.description());
    }
}

void OptionsWindow::onRememberCountryClicked() {
    app_.preferences().setRememberCountry(chkRememberCountry_->isChecked() ? 1 : 0);
}

void OptionsWindow::onOkClicked() {
    setCursor(Qt::WaitCursor);
    app_.preferences().setVideoSizeMode(optSizeOriginal_->isChecked() ? 1 : 2);
    saveDefaultVideoSize(app_);
    app_.preferences().setHideOffline(chkHideOffline_->isChecked());
    app_.preferences().setCheckShownList(chkCheckShownList_->isChecked());
    saveChannelCheckOptions(app_);
    app_.preferences().setGuideRefreshHours(Frame5_->refreshHours());
    saveGuideRefreshHours(app_);
    if (cboLanguage_->currentIndex() >= 0) {
        app_.preferences().setLanguage(cboLanguage_->currentData().toInt());
        main_.applyLanguage();
    } else {
        app_.preferences().setLanguage(1);
    }
    saveLanguage(app_);
    accept();
    unsetCursor();
}

} // namespace zentuvo
