#include "ui/browser/failure_page.h"

#include <QEvent>
#include <QMouseEvent>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QWebEnginePage>
#include <QWidget>

namespace tavlin::ui {

QString FailureHtml(const std::string& notice) {
  QString body;
  const QStringList lines = QString::fromStdString(notice).split(QStringLiteral("\r\n"));
  for (int i = 0; i < lines.size(); ++i) {
    if (lines[i].isEmpty()) continue;
    body += (i == 0 ? QStringLiteral("<h1>") : QStringLiteral("<p>")) + lines[i].toHtmlEscaped() +
            (i == 0 ? QStringLiteral("</h1>") : QStringLiteral("</p>"));
  }
  return QStringLiteral(
             "<!doctype html><html lang=\"zh-CN\"><meta charset=\"utf-8\"><title>无法打开页面</title>"
             "<style>html,body{height:100%;margin:0}body{cursor:pointer;background:#f4f6f8;color:#555;"
             "font:13px 'WenQuanYi Micro Hei',sans-serif;display:flex;align-items:center;justify-content:center}"
             "div{max-width:90%;padding:16px 20px;border:1px solid #d5dbe1;border-radius:6px;background:#fff}"
             "h1{margin:0 0 8px;font-size:15px;color:#333}p{margin:4px 0;line-height:1.6}</style>"
             "<body><div>") +
         body + QStringLiteral("</div></body></html>");
}

FailurePage::FailurePage(QWebEnginePage& page, QWidget& view, std::function<void(const std::string&)> goBack)
    : QObject(&view), page_(page), view_(view), goBack_(std::move(goBack)) {
  probeTimer_.setInterval(kProbeMs);
  connect(&probeTimer_, &QTimer::timeout, this, &FailurePage::Probe);
}

void FailurePage::Show(const std::string& notice, const std::string& address) {
  address_ = address;
  shown_ = true;
  // After the engine is done with the failed load: its own error page comes last.
  const QString html = FailureHtml(notice);
  QTimer::singleShot(0, this, [this, html, address] {
    if (!shown_ || address_ != address) return;
    page_.setHtml(html);
  });
  // Clicks reach the widget that draws the page.
  if (QWidget* surface = view_.focusProxy()) surface->installEventFilter(this);
  view_.installEventFilter(this);
  probeTimer_.start();
}

void FailurePage::Clear() {
  shown_ = false;
  probeTimer_.stop();
  if (probe_) probe_->abort();
}

void FailurePage::Back() {
  const std::string address = address_;
  Clear();
  goBack_(address);
}

void FailurePage::Probe() {
  if (!shown_ || probe_) return;
  if (!network_) network_ = new QNetworkAccessManager(this);
  QNetworkRequest request(QUrl(QString::fromStdString(address_)));
  request.setTransferTimeout(kProbeMs);
  QNetworkReply* reply = network_->get(request);
  probe_ = reply;
  // The status is all that is asked: the body is never read.
  auto answered = [this, reply] {
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid()) return;
    const bool back = status.toInt() < 400 && shown_;
    reply->abort();
    if (back) Back();
  };
  connect(reply, &QNetworkReply::metaDataChanged, this, answered);
  connect(reply, &QNetworkReply::finished, reply, &QObject::deleteLater);
}

bool FailurePage::eventFilter(QObject* watched, QEvent* event) {
  if (shown_ && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    Back();
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace tavlin::ui
