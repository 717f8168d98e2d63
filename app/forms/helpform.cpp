#include "helpform.h"

#include <QDate>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "background.h"
#include "helptext.h"

namespace tessarin::forms {
namespace {

struct Section {
    const char* caption;
    int number;
};

// In the order of the side panel.
constexpr Section kSections[] = {
    {"Overview", 1}, {"Connecting", 2},    {"Game Play", 3}, {"Scoring", 4},
    {"Options", 7},  {"Documentation", 5}, {"The Lobby", 8},
};

constexpr char kSectionProperty[] = "section";

QString panename(int section) {
    return QStringLiteral("memo") + QString::number(section);
}

}  // namespace

Thelp::Thelp(const QPixmap& background, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Tessarin - Help File"));
    setbackground(this, background);

    auto* side = new QVBoxLayout;
    side->setSpacing(4);
    QPushButton* overview = nullptr;
    for (const Section& section : kSections) {
        auto* button = new QPushButton(QString::fromLatin1(section.caption), this);
        button->setProperty(kSectionProperty, section.number);
        button->setMinimumWidth(120);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, button] { SelButton1Click(button); });
        side->addWidget(button);
        if (!overview) overview = button;
    }
    side->addStretch();
    auto* copyright = new QLabel(QStringLiteral("Copyright \u00A9"), this);
    label_year = new QLabel(QString::number(QDate::currentDate().year()), this);
    label_year->setObjectName(QStringLiteral("label_year"));
    auto* maker = new QLabel(QStringLiteral("Zorvik Software"), this);
    for (QLabel* label : {copyright, label_year, maker}) {
        label->setAlignment(Qt::AlignCenter);
        side->addWidget(label);
    }
    side->addSpacing(6);
    button_about = new QPushButton(QStringLiteral("About"), this);
    button_about->setObjectName(QStringLiteral("button_about"));
    connect(button_about, &QPushButton::clicked, this, [this] { button_aboutClick(); });
    button_done = new QPushButton(QStringLiteral("Done"), this);
    button_done->setObjectName(QStringLiteral("button_done"));
    connect(button_done, &QPushButton::clicked, this, [this] { button_doneClick(); });
    button_about->setAutoDefault(false);
    button_done->setDefault(true);
    side->addWidget(button_about);
    side->addWidget(button_done);

    label_caption = new QLabel(this);
    label_caption->setObjectName(QStringLiteral("label_caption"));
    QFont heading = label_caption->font();
    heading.setBold(true);
    heading.setPointSize(heading.pointSize() + 4);
    label_caption->setFont(heading);

    panes_ = new QStackedWidget(this);
    for (const Section& section : kSections) {
        auto* pane = new QTextBrowser(panes_);
        pane->setObjectName(panename(section.number));
        pane->setOpenLinks(false);
        pane->setHtml(helptext(section.number));
        panes_->addWidget(pane);
    }

    auto* main = new QVBoxLayout;
    main->addWidget(label_caption);
    main->addWidget(panes_, 1);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(10);
    layout->addLayout(side);
    layout->addLayout(main, 1);

    SelButton1Click(overview);
    resize(556, 422);
}

QString Thelp::caption() const {
    return label_caption->text();
}

QTextBrowser* Thelp::currentpane() const {
    return static_cast<QTextBrowser*>(panes_->currentWidget());
}

void Thelp::SelButton1Click(QAbstractButton* button) {
    const int section = button->property(kSectionProperty).toInt();
    auto* pane = panes_->findChild<QTextBrowser*>(panename(section));
    if (!pane) return;
    panes_->setCurrentWidget(pane);
    label_caption->setText(button->text());
}

void Thelp::button_aboutClick() {
    if (showabout_) showabout_();
}

void Thelp::button_doneClick() {
    hide();
}

}  // namespace tessarin::forms
