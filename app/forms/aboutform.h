// The about window: the logo, the program's version and the maker's web address, which the
// logo and the address open in the browser. Its version text is the one the login sends and
// the server compares.
#pragma once

#include <QDialog>
#include <QPixmap>
#include <QString>

#include "shell.h"

class QLabel;
class QPushButton;

namespace tessarin::forms {

class Tabout : public QDialog {
    Q_OBJECT
  public:
    explicit Tabout(const QPixmap& background, QWidget* parent = nullptr);

    // The maker's web address without a scheme, e.g. "www.example.com".
    void setwebaddress(const QString& address);
    QString webaddress() const { return webaddress_; }
    void seturlopener(UrlOpener opener) { opener_ = std::move(opener); }

    // "1.0.1": sent in the login and compared by the server; the window shows it as
    // "Version 1.0.1.0".
    QString versiontext() const;

    // Opens "http://" + the web address with the opener, which reports a failure (the
    // program's tells the chat). The main window's logo uses this too.
    void openurl();
    void button_doneClick();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QLabel* image_aboutlogo;
    QLabel* version;  // "Version 1.0.1.0"
    QString versiontext_;
    QLabel* label_year;
    QLabel* label_url;
    QPushButton* button_done;
    QString webaddress_;
    UrlOpener opener_ = openinbrowser;
};

}  // namespace tessarin::forms
