#include "AboutForm.h"

#include "BuildVersion.h"
#include "VisualStyle.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {
QLabel* CentredLabel(QWidget* parent, const QString& text, int pixelSize = 0, bool bold = false) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    QFont font = label->font();
    if (pixelSize > 0) font.setPixelSize(pixelSize);
    font.setBold(bold);
    label->setFont(font);
    return label;
}
} // namespace

TAboutBox::TAboutBox(QWidget* owner) : QDialog(owner) {
    InitShellResources();
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Sunken);
    auto* inner = new QVBoxLayout(panel);
    inner->setSpacing(6);

    auto* icon = new QLabel(panel);
    icon->setObjectName(QStringLiteral("ProgramIcon"));
    icon->setAlignment(Qt::AlignCenter);
    icon->setPixmap(QPixmap(QStringLiteral(":/calvaro/images/calvaro.png"))
                        .scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    inner->addWidget(icon);
    auto* name = CentredLabel(panel, QStringLiteral("Calvaro V"), 32, true);
    name->setObjectName(QStringLiteral("ProductName"));
    inner->addWidget(name);
    inner->addWidget(CentredLabel(panel, QStringLiteral("Water chemistry for the treatment of drinking and "
                                                        "process water")));
    inner->addWidget(
        CentredLabel(panel, QStringLiteral("Carbonate equilibria, CaCO3 precipitation potential, "
                                           "chemical dosing, softening and blending")));
    inner->addStretch(1);
    inner->addWidget(CentredLabel(panel, QStringLiteral("Build version")));
    LabelVersion = CentredLabel(panel, QString(), 0, true);
    LabelVersion->setObjectName(QStringLiteral("LabelVersion"));
    inner->addWidget(LabelVersion);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addStretch(1);
    layout->addLayout(buttons);

    setFixedSize(337, 352);
    if (const QScreen* display = screen()) move(display->availableGeometry().center() - rect().center());
    FormShow();
}

void TAboutBox::FormShow() {
    LabelVersion->setText(GetBuildVersion());
}

QString TAboutBox::VersionText() const {
    return LabelVersion->text();
}

void TAboutBox::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}
