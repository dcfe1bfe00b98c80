#include "AboutDialog.h"

#include "net/HyperLinkLabel.h"
#include "net/ProductAddresses.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

AboutDialog::AboutDialog(Prompt *prompt, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutDialog"));
    setWindowTitle(QStringLiteral("About Kinetrope"));
    // 169 x 110 dialog units of the small dialog font.
    setFixedSize(253, 179);

    auto *layout = new QVBoxLayout(this);
    auto *icon = new QLabel(this);
    icon->setPixmap(QIcon(QStringLiteral(":/kinetrope.png")).pixmap(32, 32));
    icon->setAlignment(Qt::AlignCenter);
    auto *title = new QLabel(QString::fromLatin1(ProductLine), this);
    title->setObjectName(QStringLiteral("title"));
    QFont f = title->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.3);
    title->setFont(f);
    title->setAlignment(Qt::AlignCenter);
    auto *line = new QLabel(QStringLiteral("New Media and VideoCD Player player"), this);
    line->setAlignment(Qt::AlignCenter);
    // Control 1079 carries the web address.
    auto *link = new HyperLinkLabel(QString::fromLatin1(ProductAddresses::WebAddress), this);
    link->setObjectName(QStringLiteral("1079"));
    link->setAlignment(Qt::AlignCenter);
    link->setPrompt(prompt);
    auto *ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("1019"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    layout->addWidget(icon);
    layout->addWidget(title);
    layout->addWidget(line);
    layout->addWidget(link, 0, Qt::AlignHCenter);
    layout->addStretch();
    layout->addWidget(ok, 0, Qt::AlignHCenter);
}
