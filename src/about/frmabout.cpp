#include "frmabout.h"

#include "maillink.h"
#include "ownerdraw.h"
#include "resources.h"

#include <QBoxLayout>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <utility>

namespace {

// The two addresses the box offers. Role addresses, so they outlast any one maintainer.
const char16_t kHostAddress[] = u"qta-support@example.org";
const char16_t kEditorAddress[] = u"config-editor@example.org";

constexpr int kWidth = 460;
constexpr int kMargin = 16;
constexpr int kPanelPadding = 12;

// The logo's colours, drawn on the box's white.
const QColor kNavy(0x1f, 0x3b, 0x63);
const QColor kAmber(0xf2, 0xb1, 0x34);
const QColor kPaleBlue(0xc9, 0xd6, 0xea);
const QColor kPanel(0xf5, 0xf7, 0xfa);
const QColor kPanelLine(0xd3, 0xda, 0xe4);
const QColor kInk(0x20, 0x20, 0x20);
const QColor kQuietInk(0x5f, 0x66, 0x70);

// The box is white paper whatever the desktop's colours, so its text and button are dark on light too.
QPalette paperPalette(QPalette palette)
{
    for (const QPalette::ColorGroup group : { QPalette::Active, QPalette::Inactive, QPalette::Disabled }) {
        const bool disabled = group == QPalette::Disabled;
        const QColor ink = disabled ? QColor(0x9a, 0x9a, 0x9a) : kInk;
        palette.setColor(group, QPalette::Window, Qt::white);
        palette.setColor(group, QPalette::Base, Qt::white);
        palette.setColor(group, QPalette::AlternateBase, kPanel);
        palette.setColor(group, QPalette::WindowText, ink);
        palette.setColor(group, QPalette::Text, ink);
        palette.setColor(group, QPalette::ButtonText, ink);
        palette.setColor(group, QPalette::Button, QColor(0xec, 0xef, 0xf3));
        palette.setColor(group, QPalette::Light, Qt::white);
        palette.setColor(group, QPalette::Midlight, QColor(0xe3, 0xe3, 0xe3));
        palette.setColor(group, QPalette::Mid, QColor(0xb8, 0xb8, 0xb8));
        palette.setColor(group, QPalette::Dark, QColor(0x9a, 0x9a, 0x9a));
        palette.setColor(group, QPalette::Shadow, QColor(0x76, 0x76, 0x76));
        palette.setColor(group, QPalette::Highlight, kNavy);
        palette.setColor(group, QPalette::HighlightedText, Qt::white);
    }
    return palette;
}

void setColour(QWidget *widget, QPalette::ColorRole role, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

// A font of the named family or, where the system lacks it, the nearest of its kind.
QFont fontOrNearest(const QString &family, QFont::StyleHint kind, qreal pointSize, bool bold = false)
{
    QFont font(family);
    font.setStyleHint(kind);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

QLabel *textLabel(QWidget *parent, const QString &name, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setAccessibleName(text);
    return label;
}

QLabel *notice(QWidget *parent, const QString &name, const QString &text, int width)
{
    QLabel *label = textLabel(parent, name, text);
    label->setFont(fontOrNearest(QStringLiteral("Arial"), QFont::SansSerif, parent->font().pointSizeF()));
    label->setWordWrap(true);
    label->setFixedWidth(width);
    setColour(label, QPalette::WindowText, kInk);
    return label;
}

// A row of dots set in a serif face, cut off at the box's edge.
QLabel *dottedLine(QWidget *parent, const QString &name)
{
    QLabel *line = textLabel(parent, name, QString(160, QChar(u'.')));
    line->setAccessibleName(QStringLiteral("Separator"));
    line->setFont(fontOrNearest(QStringLiteral("Times New Roman"), QFont::Serif, 9));
    line->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    setColour(line, QPalette::WindowText, kPanelLine.darker(115));
    return line;
}

QFrame *shape(QWidget *parent, const QString &name, const QString &accessibleName, const QColor &fill)
{
    auto *frame = new QFrame(parent);
    frame->setObjectName(name);
    frame->setAccessibleName(accessibleName);
    frame->setAutoFillBackground(fill.isValid());
    if (fill.isValid())
        setColour(frame, QPalette::Window, fill);
    return frame;
}

QCursor handCursor()
{
    return QCursor(QPixmap(QStringLiteral(":/cursors/hand.png")), 5, 0);
}

} // namespace

frmAbout::frmAbout(QWidget *parent)
    : QDialog(parent)
{
    initComponentResources();
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About"));
    setAccessibleName(QStringLiteral("About QTA Config Editor"));
    setModal(true);
    setPalette(paperPalette(palette()));
    setAutoFillBackground(true);

    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(0, 0, 0, kMargin);
    layout->setSpacing(0);
    layout->addWidget(buildLogo());

    QFrame *accent = shape(this, QStringLiteral("Line1"), QStringLiteral("Logo line"), kAmber);
    accent->setFixedHeight(3);
    layout->addWidget(accent);

    layout->addLayout(buildBody());

    layout->addLayout(buildButtons());

    const QList<MailLink *> links = findChildren<MailLink *>();
    for (MailLink *link : links)
        link->setCursor(handCursor());
    auto *editorMail = findChild<MailLink *>(QStringLiteral("lblMail(1)"));
    auto *hostMail = findChild<MailLink *>(QStringLiteral("lblMail(0)"));
    setTabOrder(editorMail, hostMail);
    setTabOrder(hostMail, m_ok);
    m_ok->setFocus();

    m_ownerDraw = new OwnerDrawManager(this);
    m_ownerDraw->attach(this);
}

// The version, the notices and the game system's note, between dotted lines.
QLayout *frmAbout::buildBody()
{
    auto *body = new QVBoxLayout;
    body->setContentsMargins(kMargin, 12, kMargin, 0);
    body->setSpacing(6);
    QLabel *version = textLabel(this, QStringLiteral("lblVersion"),
                                versionLine(QTA_VERSION_MAJOR, QTA_VERSION_MINOR, QTA_VERSION_PATCH));
    QFont bold = version->font();
    bold.setBold(true);
    version->setFont(bold);
    body->addWidget(version);
    body->addWidget(dottedLine(this, QStringLiteral("lblDotLine(0)")));
    body->addWidget(buildNotices());
    body->addWidget(dottedLine(this, QStringLiteral("lblDotLine(2)")));
    QLabel *gameNotice = notice(this, QStringLiteral("lblInfo(4)"),
                                QStringLiteral("QTA serves a tabletop role-playing game system. The game system, its "
                                               "names and its material belong to their owners; they are named in "
                                               "QTA and in this editor only to say what QTA works with."),
                                kWidth - 2 * kMargin);
    QFont small = gameNotice->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    gameNotice->setFont(small);
    setColour(gameNotice, QPalette::WindowText, kQuietInk);
    body->addWidget(gameNotice);
    return body;
}

QLayout *frmAbout::buildButtons()
{
    m_ok = new QPushButton(QStringLiteral("&OK"), this);
    m_ok->setObjectName(QStringLiteral("cmdOK"));
    m_ok->setAccessibleName(QStringLiteral("OK"));
    m_ok->setDefault(true);
    m_ok->setMinimumSize(88, 28);
    m_ok->setCursor(handCursor());
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    auto *buttons = new QHBoxLayout;
    buttons->setContentsMargins(kMargin, 12, kMargin, 0);
    buttons->addStretch();
    buttons->addWidget(m_ok);
    return buttons;
}

frmAbout::~frmAbout()
{
    m_ownerDraw->detach();
}

QWidget *frmAbout::buildLogo()
{
    QFrame *band = shape(this, QStringLiteral("shpRect(0)"), QStringLiteral("Logo"), kNavy);
    band->setFixedWidth(kWidth);
    auto *row = new QHBoxLayout(band);
    row->setContentsMargins(kMargin, 14, kMargin, 14);
    row->setSpacing(14);

    auto *picture = new QLabel(band);
    picture->setObjectName(QStringLiteral("picLogo"));
    picture->setAccessibleName(QStringLiteral("QTA Config Editor logo"));
    QIcon icon;
    for (const char *size : { "-16", "-32", "-48", "-64", "-128", "" })
        icon.addFile(QStringLiteral(":/app/qta-config-editor%1.png").arg(QLatin1String(size)));
    // Taken at the screen's pixel ratio, so the picture stays sharp on a scaled screen.
    picture->setPixmap(icon.pixmap(QSize(64, 64), devicePixelRatioF()));
    picture->setFixedSize(64, 64);
    row->addWidget(picture, 0, Qt::AlignVCenter);

    auto *words = new QVBoxLayout;
    words->setSpacing(0);
    QLabel *title = textLabel(band, QStringLiteral("lblInfo(5)"), QStringLiteral("QTA Config"));
    title->setFont(fontOrNearest(QStringLiteral("Tahoma"), QFont::SansSerif, 20, true));
    setColour(title, QPalette::WindowText, Qt::white);
    QLabel *edition = textLabel(band, QStringLiteral("lblInfo(7)"), logoLine(QTA_VERSION_MAJOR, QTA_VERSION_MINOR));
    edition->setFont(fontOrNearest(QStringLiteral("Tahoma"), QFont::SansSerif, 13, true));
    setColour(edition, QPalette::WindowText, kAmber);
    QLabel *description
        = textLabel(band, QStringLiteral("lblDescription"), QStringLiteral("Toolbar and add-on editor for QTA"));
    QFont italic = description->font();
    italic.setItalic(true);
    description->setFont(italic);
    setColour(description, QPalette::WindowText, kPaleBlue);
    words->addWidget(title);
    words->addWidget(edition);
    words->addSpacing(4);
    words->addWidget(description);
    row->addLayout(words, 1);

    // The two sections of QTA.INI the editor works on, as a framed tag.
    QFrame *sections = shape(band, QStringLiteral("shpRect(1)"), QStringLiteral("Sections edited"), QColor());
    sections->setFrameStyle(QFrame::Box | QFrame::Plain);
    sections->setLineWidth(1);
    setColour(sections, QPalette::WindowText, kAmber);
    auto *tags = new QVBoxLayout(sections);
    tags->setContentsMargins(8, 5, 8, 5);
    tags->setSpacing(1);
    for (const auto &[name, text] :
         { std::pair { u"lblInfo(1)", u"[Toolbits]" }, std::pair { u"lblInfo(6)", u"[Addons]" } }) {
        QLabel *tag = textLabel(sections, QString::fromUtf16(name), QString::fromUtf16(text));
        tag->setFont(fontOrNearest(QStringLiteral("Courier New"), QFont::Monospace, 9));
        setColour(tag, QPalette::WindowText, kPaleBlue);
        tags->addWidget(tag);
    }
    row->addWidget(sections, 0, Qt::AlignVCenter);
    return band;
}

QWidget *frmAbout::buildNotices()
{
    QFrame *panel = shape(this, QStringLiteral("shpRect(2)"), QStringLiteral("Notices"), kPanel);
    panel->setFrameStyle(QFrame::Box | QFrame::Plain);
    panel->setLineWidth(1);
    setColour(panel, QPalette::WindowText, kPanelLine);
    const int width = kWidth - 2 * kMargin - 2 * kPanelPadding;
    auto *column = new QVBoxLayout(panel);
    column->setContentsMargins(kPanelPadding, 10, kPanelPadding, 10);
    column->setSpacing(4);

    column->addWidget(notice(panel, QStringLiteral("lblInfo(0)"),
                             QStringLiteral("Copyright \u00A9 the QTA Config Editor authors. This program edits the "
                                            "toolbar and the add-on list in QTA.INI and is provided as it is, without "
                                            "warranty of any kind. Keep a copy of your QTA.INI before you change it."),
                             width));
    column->addSpacing(8);
    column->addWidget(notice(panel, QStringLiteral("lblInfo(2)"),
                             QStringLiteral("Found a problem, or have a suggestion or a question? We would like "
                                            "to hear from you; please write to:"),
                             width));
    auto *editorMail = new MailLink(QString::fromUtf16(kEditorAddress), panel);
    editorMail->setObjectName(QStringLiteral("lblMail(1)"));
    column->addWidget(editorMail, 0, Qt::AlignLeft);
    column->addSpacing(8);
    column->addWidget(notice(panel, QStringLiteral("lblInfo(3)"),
                             QStringLiteral("QTA is the work of its own authors, who hold all rights to it; this "
                                            "editor is a separate program. For help with QTA itself, see QTA's Help "
                                            "menu or write to:"),
                             width));
    auto *hostMail = new MailLink(QString::fromUtf16(kHostAddress), panel);
    hostMail->setObjectName(QStringLiteral("lblMail(0)"));
    column->addWidget(hostMail, 0, Qt::AlignLeft);

    for (MailLink *link : { editorMail, hostMail }) {
        QFont font = fontOrNearest(QStringLiteral("Arial"), QFont::SansSerif, link->font().pointSizeF());
        font.setUnderline(true);
        link->setFont(font);
    }
    return panel;
}

QString frmAbout::versionLine(int major, int minor, int revision)
{
    return QStringLiteral("QTA Config Editor %1.%2, build %3")
        .arg(QString::number(major), QStringLiteral("%1").arg(minor, 2, 10, QLatin1Char('0')),
             QStringLiteral("%1").arg(revision, 4, 10, QLatin1Char('0')));
}

QString frmAbout::logoLine(int major, int minor)
{
    return QStringLiteral("Editor \u00DF%1.%2")
        .arg(QString::number(major), QStringLiteral("%1").arg(minor, 2, 10, QLatin1Char('0')));
}

QWidget *frmAbout::buttonContainer() const
{
    return const_cast<frmAbout *>(this);
}

bool frmAbout::doOwnerDraw(const QPushButton *) const
{
    return true;
}

void frmAbout::drawItem(QPushButton *button, QPainter &painter, const QRect &rect, bool pushed, bool, bool enabled,
                        bool inFocus, bool &doDefault)
{
    if (button != m_ok)
        return;
    drawButton(painter, button, rect, ButtonFace { nullptr, kNoPicture, button->text() },
               ButtonState { pushed, enabled, inFocus });
    doDefault = false;
}
