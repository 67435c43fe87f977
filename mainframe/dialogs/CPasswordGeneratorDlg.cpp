#include "CPasswordGeneratorDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <cmath>

#include "framework/Settings.h"
#include "resources/ResourceIds.h"

namespace tessarel {

namespace {

// The bar is full at 128 bits: beyond that no attack by guessing is conceivable, and a longer bar
// would tell the person nothing more.
constexpr int kFullStrengthBits = 128;

template <class Widget>
Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel* BuddyLabel(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

// Separator text as card bytes: printable ASCII passes unchanged; anything else becomes a
// character CheckGeneratorOptions refuses, so the dialog says why instead of dropping it.
std::string SeparatorBytes(const QString& text) {
    std::string bytes;
    for (QChar c : text) bytes += c.unicode() >= 0x20 && c.unicode() <= 0x7E ? static_cast<char>(c.unicode()) : '\x01';
    return bytes;
}

}  // namespace

CPasswordGeneratorDlg::CPasswordGeneratorDlg(QWidget* parent, bool forClipboard_)
    : Dialog(parent), options(StoredOptions()), forClipboard(forClipboard_) {
    setObjectName(QString::number(res::DialogPasswordGenerator));
    setWindowTitle(QStringLiteral("Generate Password"));
    auto* layout = new QVBoxLayout(this);
    auto* modes = new QHBoxLayout;
    charactersMode = Named(new QRadioButton(QStringLiteral("&Characters"), this), "GeneratorCharacters");
    passphraseMode = Named(new QRadioButton(QStringLiteral("Pass&phrase"), this), "GeneratorPassphrase");
    modes->addWidget(charactersMode);
    modes->addWidget(passphraseMode);
    modes->addStretch(1);
    layout->addLayout(modes);

    auto* optionsBox = new QGroupBox(QStringLiteral("Options"), this);
    auto* grid = new QGridLayout(optionsBox);
    BuildCharacterOptions(grid);
    BuildPassphraseOptions(grid);
    layout->addWidget(optionsBox);

    auto* result = new QGridLayout;
    preview = Named(new QLineEdit(this), "GeneratorPreview");
    preview->setReadOnly(true);
    preview->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    preview->setMinimumWidth(preview->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 34);
    result->addWidget(BuddyLabel(QStringLiteral("Pre&view:"), preview, this), 0, 0);
    result->addWidget(preview, 0, 1);
    entropyLabel = Named(new QLabel(this), "GeneratorEntropy");
    strengthBar = Named(new QProgressBar(this), "GeneratorStrength");
    strengthBar->setRange(0, kFullStrengthBits);
    strengthBar->setTextVisible(true);
    result->addWidget(entropyLabel, 1, 0, 1, 2);
    result->addWidget(strengthBar, 2, 0, 1, 2);
    layout->addLayout(result);

    auto* buttons = new QDialogButtonBox(this);
    regenerateButton = Named(buttons->addButton(QStringLiteral("&Regenerate"), QDialogButtonBox::ActionRole), "GeneratorRegenerate");
    useButton = buttons->addButton(forClipboard ? QStringLiteral("Cop&y") : QStringLiteral("&Use"), QDialogButtonBox::AcceptRole);
    useButton->setObjectName(QStringLiteral("IDOK"));
    useButton->setDefault(true);
    if (forClipboard) useButton->setToolTip(QStringLiteral("Copy the password to the Clipboard"));
    QPushButton* cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("IDCANCEL"));
    connect(regenerateButton, &QPushButton::clicked, this, &CPasswordGeneratorDlg::Regenerate);
    connect(buttons, &QDialogButtonBox::accepted, this, &Dialog::OnOK);
    connect(buttons, &QDialogButtonBox::rejected, this, &Dialog::OnCancel);
    layout->addWidget(buttons);
    ConnectOptionChanges();
}

void CPasswordGeneratorDlg::BuildCharacterOptions(QGridLayout* grid) {
    QWidget* box = grid->parentWidget();
    lengthBox = Named(new QSpinBox(box), "GeneratorLength");
    lengthBox->setRange(kMinPasswordLength, kMaxPasswordLength);
    grid->addWidget(BuddyLabel(QStringLiteral("&Length:"), lengthBox, box), 0, 0);
    grid->addWidget(lengthBox, 0, 1);
    upperBox = Named(new QCheckBox(QStringLiteral("Upp&er case (A-Z)"), box), "GeneratorUpper");
    lowerBox = Named(new QCheckBox(QStringLiteral("L&ower case (a-z)"), box), "GeneratorLower");
    digitsBox = Named(new QCheckBox(QStringLiteral("&Digits (0-9)"), box), "GeneratorDigits");
    symbolsBox = Named(new QCheckBox(QStringLiteral("&Symbols (!\"#$%&&...)"), box), "GeneratorSymbols");
    grid->addWidget(upperBox, 1, 0, 1, 2);
    grid->addWidget(lowerBox, 1, 2, 1, 2);
    grid->addWidget(digitsBox, 2, 0, 1, 2);
    grid->addWidget(symbolsBox, 2, 2, 1, 2);
    const std::string_view lookAlikes = LookAlikeCharacters();
    QString shownLookAlikes;
    for (char c : lookAlikes) shownLookAlikes += (shownLookAlikes.isEmpty() ? QString() : QStringLiteral(" ")) + QLatin1Char(c);
    lookAlikesBox = Named(new QCheckBox(QStringLiteral("E&xclude look-alikes (%1)").arg(shownLookAlikes.replace('&', "&&")), box),
                          "GeneratorLookAlikes");
    grid->addWidget(lookAlikesBox, 3, 0, 1, 4);
}

void CPasswordGeneratorDlg::BuildPassphraseOptions(QGridLayout* grid) {
    QWidget* box = grid->parentWidget();
    wordsBox = Named(new QSpinBox(box), "GeneratorWords");
    wordsBox->setRange(kMinPassphraseWords, kMaxPassphraseWords);
    grid->addWidget(BuddyLabel(QStringLiteral("&Words:"), wordsBox, box), 4, 0);
    grid->addWidget(wordsBox, 4, 1);
    separatorEdit = Named(new QLineEdit(box), "GeneratorSeparator");
    separatorEdit->setMaxLength(static_cast<int>(kMaxSeparatorLength));
    grid->addWidget(BuddyLabel(QStringLiteral("Separa&tor:"), separatorEdit, box), 4, 2);
    grid->addWidget(separatorEdit, 4, 3);
}

void CPasswordGeneratorDlg::ConnectOptionChanges() {
    for (QRadioButton* button : {charactersMode, passphraseMode})
        connect(button, &QRadioButton::toggled, this, &CPasswordGeneratorDlg::OnOptionsChanged);
    for (QSpinBox* box : {lengthBox, wordsBox}) connect(box, &QSpinBox::valueChanged, this, &CPasswordGeneratorDlg::OnOptionsChanged);
    for (QCheckBox* box : {upperBox, lowerBox, digitsBox, symbolsBox, lookAlikesBox})
        connect(box, &QCheckBox::toggled, this, &CPasswordGeneratorDlg::OnOptionsChanged);
    connect(separatorEdit, &QLineEdit::textChanged, this, &CPasswordGeneratorDlg::OnOptionsChanged);
}

void CPasswordGeneratorDlg::OnInitDialog() {
    loading = true;
    Dialog::OnInitDialog();
    loading = false;
    ShowModeControls();
    Regenerate();
    (options.passphrase ? passphraseMode : charactersMode)->setFocus();
}

void CPasswordGeneratorDlg::DoDataExchange(bool save) {
    const std::array<std::pair<QCheckBox*, unsigned>, 4> classBoxes = {
        {{upperBox, kUpperCase}, {lowerBox, kLowerCase}, {digitsBox, kDigits}, {symbolsBox, kSymbols}}};
    if (save) {
        options.passphrase = passphraseMode->isChecked();
        options.length = lengthBox->value();
        options.classes = 0;
        for (const auto& [box, bit] : classBoxes)
            if (box->isChecked()) options.classes |= bit;
        options.excludeLookAlikes = lookAlikesBox->isChecked();
        options.words = wordsBox->value();
        options.separator = SeparatorBytes(separatorEdit->text());
        return;
    }
    (options.passphrase ? passphraseMode : charactersMode)->setChecked(true);
    lengthBox->setValue(options.length);
    for (const auto& [box, bit] : classBoxes) box->setChecked((options.classes & bit) != 0);
    lookAlikesBox->setChecked(options.excludeLookAlikes);
    wordsBox->setValue(options.words);
    separatorEdit->setText(QString::fromLatin1(options.separator.data(), static_cast<qsizetype>(options.separator.size())));
}

void CPasswordGeneratorDlg::OnOptionsChanged() {
    if (loading) return;
    ShowModeControls();
    Regenerate();
}

void CPasswordGeneratorDlg::ShowModeControls() {
    const bool passphrase = passphraseMode->isChecked();
    for (QWidget* control : std::initializer_list<QWidget*>{lengthBox, upperBox, lowerBox, digitsBox, symbolsBox, lookAlikesBox})
        control->setEnabled(!passphrase);
    wordsBox->setEnabled(passphrase);
    separatorEdit->setEnabled(passphrase);
}

void CPasswordGeneratorDlg::Regenerate() {
    UpdateData(true);
    shown.Wipe();
    std::string problem = CheckGeneratorOptions(options);
    if (problem.empty()) {
        try {
            shown = GeneratePassword(options, random);
        } catch (const RandomUnavailable& error) {
            problem = error.what();
        }
    }
    // Generated passwords are printable ASCII: the same characters in Latin-1 and on the card.
    preview->setText(QString::fromLatin1(shown.data(), static_cast<qsizetype>(shown.size())));
    ShowStrength(problem.empty() ? EntropyBits(options) : 0.0, QString::fromStdString(problem));
    useButton->setEnabled(problem.empty());
    regenerateButton->setEnabled(problem.empty());
}

void CPasswordGeneratorDlg::ShowStrength(double bits, const QString& problem) {
    if (!problem.isEmpty()) {
        entropyLabel->setText(problem);
        strengthBar->setValue(0);
        strengthBar->setFormat(QString());
        return;
    }
    entropyLabel->setText(QString::asprintf("Entropy: %.1f bits", bits));
    strengthBar->setValue(std::min(kFullStrengthBits, static_cast<int>(std::floor(bits))));
    strengthBar->setFormat(StrengthText(bits));
}

QString CPasswordGeneratorDlg::StrengthText(double bits) {
    // Guesses an attacker needs on average: 2^(bits-1). Below 2^45 a single machine finds a
    // password stored with a fast hash within days; 2^65 is out of reach of anyone but a state;
    // from 100 bits guessing is hopeless for anyone.
    if (bits < 45) return QStringLiteral("Weak");
    if (bits < 65) return QStringLiteral("Fair");
    if (bits < 100) return QStringLiteral("Good");
    return QStringLiteral("Strong");
}

bool CPasswordGeneratorDlg::AcceptMembers() {
    // The preview is what the person saw and agreed to; options changed since then have already
    // made a new preview, so `shown` belongs to `options`.
    if (shown.empty()) return false;
    StoreOptions(options);
    return true;
}

void CPasswordGeneratorDlg::reject() {
    UpdateData(true);
    if (CheckGeneratorOptions(options).empty()) StoreOptions(options);
    shown.Wipe();
    Dialog::reject();
}

void CPasswordGeneratorDlg::done(int result) {
    preview->setText(QString());
    Dialog::done(result);
}

GeneratorOptions CPasswordGeneratorDlg::StoredOptions() {
    GeneratorOptions stored;
    const GeneratorOptions defaults;
    stored.passphrase = ReadInt(setting::GeneratorMode) == 1;
    stored.length = std::clamp(ReadInt(setting::GeneratorLength), kMinPasswordLength, kMaxPasswordLength);
    const std::optional<unsigned> classes = ParseClassLetters(ReadText(setting::GeneratorClasses).toStdString());
    stored.classes = classes && *classes != 0 ? *classes : defaults.classes;
    stored.excludeLookAlikes = ReadInt(setting::GeneratorExcludeLookAlikes) != 0;
    stored.words = std::clamp(ReadInt(setting::GeneratorWords), kMinPassphraseWords, kMaxPassphraseWords);
    stored.separator = SeparatorBytes(ReadText(setting::GeneratorSeparator));
    if (!CheckGeneratorOptions(GeneratorOptions{true, 20, kAllClasses, false, stored.words, stored.separator}).empty())
        stored.separator = defaults.separator;
    return stored;
}

void CPasswordGeneratorDlg::StoreOptions(const GeneratorOptions& chosen) {
    WriteInt(setting::GeneratorMode, chosen.passphrase ? 1 : 0);
    WriteInt(setting::GeneratorLength, chosen.length);
    WriteText(setting::GeneratorClasses, QString::fromStdString(ClassLetters(chosen.classes)));
    WriteInt(setting::GeneratorExcludeLookAlikes, chosen.excludeLookAlikes ? 1 : 0);
    WriteInt(setting::GeneratorWords, chosen.words);
    WriteText(setting::GeneratorSeparator, QString::fromLatin1(chosen.separator.data(), static_cast<qsizetype>(chosen.separator.size())));
}

}  // namespace tessarel
