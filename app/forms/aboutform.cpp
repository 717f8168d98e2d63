#include "aboutform.h"

#include <QDate>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "background.h"
#include "endpoints.h"
#include "pictures.h"
#include "protocol.h"

namespace tessarin::forms {
namespace {

QLabel* clickable(QLabel* label, QObject* filter) {
    label->setCursor(Qt::PointingHandCursor);
    label->installEventFilter(filter);
    return label;
}

}  // namespace

Tabout::Tabout(const QPixmap& background, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Tessarin - About"));
    setbackground(this, background);

    image_aboutlogo = new QLabel(this);
    image_aboutlogo->setPixmap(pictures::logo());
    image_aboutlogo->setObjectName(QStringLiteral("image_aboutlogo"));
    clickable(image_aboutlogo, this);

    // One label, so that it reads as one line: "Version 1.0.1.0", of which "1.0.1" is the
    // version the login sends.
    versiontext_ =
        QString::fromLatin1(proto::kVersion.data(), static_cast<qsizetype>(proto::kVersion.size()));
    version = new QLabel(QStringLiteral("Version ") + versiontext_ + QStringLiteral(".0"), this);
    version->setObjectName(QStringLiteral("version"));

    label_year = new QLabel(QString::number(QDate::currentDate().year()), this);
    label_year->setObjectName(QStringLiteral("label_year"));
    auto* yearRow = new QHBoxLayout;
    yearRow->setSpacing(3);
    yearRow->addWidget(new QLabel(QStringLiteral("Copyright \u00A9"), this));
    yearRow->addWidget(label_year);
    yearRow->addWidget(new QLabel(QStringLiteral("Zorvik Software"), this));
    yearRow->addStretch();

    label_url = new QLabel(this);
    label_url->setObjectName(QStringLiteral("label_url"));
    label_url->setTextFormat(Qt::PlainText);
    QFont link = label_url->font();
    link.setUnderline(true);
    label_url->setFont(link);
    QPalette linkColour = label_url->palette();
    linkColour.setColor(QPalette::WindowText, QColor(0x1a, 0x4e, 0xa0));
    label_url->setPalette(linkColour);
    clickable(label_url, this);
    setwebaddress(QString::fromLatin1(kDefaultWebAddress));

    button_done = new QPushButton(QStringLiteral("Done"), this);
    button_done->setObjectName(QStringLiteral("button_done"));
    button_done->setDefault(true);
    connect(button_done, &QPushButton::clicked, this, [this] { button_doneClick(); });

    auto* bottomRow = new QHBoxLayout;
    bottomRow->addWidget(label_url);
    bottomRow->addStretch();
    bottomRow->addWidget(button_done);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->setSpacing(2);
    layout->addWidget(image_aboutlogo, 0, Qt::AlignLeft);
    layout->addSpacing(8);
    layout->addWidget(version);
    layout->addLayout(yearRow);
    layout->addStretch();
    layout->addLayout(bottomRow);
    setFixedSize(304, 174);
}

void Tabout::setwebaddress(const QString& address) {
    webaddress_ = address;
    label_url->setText(address);
}

QString Tabout::versiontext() const {
    return versiontext_;
}

void Tabout::openurl() {
    opener_(QUrl(QStringLiteral("http://") + webaddress_));
}

void Tabout::button_doneClick() {
    hide();
}

bool Tabout::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == label_url || watched == image_aboutlogo) &&
        event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        openurl();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace tessarin::forms
