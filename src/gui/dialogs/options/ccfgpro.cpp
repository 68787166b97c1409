#include "gui/dialogs/options/ccfgpro.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QRadioButton>

#include <iterator>
#include <vector>

#include "base/forms/pagechoices.h"
#include "gui/widgets/pagewidgets.h"

namespace dromo {
namespace {

// Each user agent has its own small mark: Dromo's arrow, then two globes.
QIcon AgentIcon(int index)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (index == 0) {
        p.setBrush(QColor(0, 120, 60));
        p.setPen(Qt::NoPen);
        const QPointF arrow[] = {{5, 1}, {11, 1}, {11, 8}, {14, 8}, {8, 15}, {2, 8}, {5, 8}};
        p.drawPolygon(arrow, 7);
    } else {
        p.setPen(QPen(index == 1 ? QColor(0, 90, 200) : QColor(0, 130, 130), 1.4));
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
        p.drawEllipse(QRectF(5, 1.5, 6, 13));
    }
    return QIcon(pixmap);
}

}  // namespace

CCfgPro::CCfgPro(ProtocolFields& fields, Messages& messages, std::int32_t* requireFtpTls, QWidget* parent)
    : CPropertyPage(tr("Protocol"), messages, parent), m_fields(fields), m_requireFtpTls(requireFtpTls),
      m_pasv(new QCheckBox(tr("PASV Mode"), this)), m_agent(new QComboBox(this))
{
    auto* page = new QGridLayout(this);
    QGridLayout* ftp = AddGroup(this, page, 0, tr("FTP"));
    ftp->addWidget(m_pasv, 0, 0);
    if (m_requireFtpTls != nullptr) {
        // The one box on the page with a key of its own: a person who wants
        // no password in clear finds it without the mouse (Alt+R).
        m_requireTls = new QCheckBox(tr("&Require TLS for FTP"), this);
        ftp->addWidget(m_requireTls, 1, 0);
        AddHelp({m_requireTls}, tr("FTP logs in inside TLS whenever the server offers it. Check it to refuse "
                                   "servers that offer no TLS: the task fails instead of sending your name "
                                   "and password in clear."));
    }
    QGridLayout* http = AddGroup(this, page, 1, tr("HTTP"));
    auto* group = new QButtonGroup(this);
    const QString labels[] = {tr("HTTP/2"), tr("HTTP/1.1"), tr("HTTP/1.0"), tr("HTTP/0.9")};
    static_assert(std::size(labels) == kHttpVersions.size());
    for (int i = 0; i < static_cast<int>(kHttpVersions.size()); ++i) {
        m_versions[i] = new QRadioButton(labels[i], this);
        group->addButton(m_versions[i], i);
        http->addWidget(m_versions[i], 0, i);
        connect(m_versions[i], &QRadioButton::clicked, this, [this, i] { m_fields.httpVersion = kHttpVersions[i]; });
    }
    QLabel* agentLabel = AddLabel(http, 1, 0, tr("User Agent:"));
    http->addWidget(m_agent, 1, 1, 1, static_cast<int>(kHttpVersions.size()) - 1);
    // Tab as the page reads: FTP's boxes, the versions, then the user agent
    // below them.
    std::vector<QWidget*> order = {m_pasv};
    if (m_requireTls != nullptr) {
        order.push_back(m_requireTls);
    }
    order.insert(order.end(), std::begin(m_versions), std::end(m_versions));
    order.push_back(m_agent);
    for (std::size_t i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }
    for (int i = 0; i < static_cast<int>(kUserAgents.size()); ++i) {
        m_agent->addItem(AgentIcon(i), QString::fromLatin1(kUserAgents[i]));
    }
    page->setRowStretch(2, 1);
    connect(m_agent, &QComboBox::activated, this, [this](int i) { m_fields.userAgent = kUserAgents[i]; });

    AddHelp({m_pasv}, tr("You check it if you encounter problem to use ftp through some Firewall.") + QLatin1Char(' ') +
                          tr("FTP over TLS (ftps://, or a server that offers TLS) is always passive, whatever "
                             "this says."));
    AddHelp({m_versions[0]}, tr("Use HTTP/2 with servers that offer it over HTTPS, and HTTP/1.1 with all others."));
    AddHelp({m_versions[1]}, tr("Set the HTTP version to 1.1 when Dromo is connecting to remote host."));
    AddHelp({m_versions[2]}, tr("Set the HTTP version to 1.0 when Dromo is connecting to remote host."));
    AddHelp({m_versions[3]}, tr("Set the HTTP version to 0.9 when Dromo is connecting to remote host."));
    AddHelp({agentLabel, static_cast<QWidget*>(m_agent)}, tr("Choose an User Agent for Dromo."));
}

void CCfgPro::OnInitDialog()
{
    m_pasv->setChecked(m_fields.pasvMode != 0);
    if (m_requireTls != nullptr) {
        m_requireTls->setChecked(*m_requireFtpTls != 0);
    }
    m_versions[HttpVersionChoice(m_fields.httpVersion)]->setChecked(true);
    m_agent->setCurrentIndex(UserAgentChoice(m_fields.userAgent));
}

bool CCfgPro::OnKillActive()
{
    m_fields.pasvMode = m_pasv->isChecked() ? 1 : 0;
    if (m_requireTls != nullptr) {
        *m_requireFtpTls = m_requireTls->isChecked() ? 1 : 0;
    }
    return true;
}

}  // namespace dromo
