#pragma once
// The program's own page in place of a portal page that failed to load, and the way
// back to that page once the portal answers again (or at a click on the notice).
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <string>

class QNetworkReply;
class QWebEnginePage;
class QWidget;

namespace tavlin::ui {

class FailurePage final : public QObject {
 public:
  // goBack loads the failed address again in the view.
  FailurePage(QWebEnginePage& page, QWidget& view, std::function<void(const std::string&)> goBack);

  // Shows notice (plain text, line by line) on a page that holds no script and no
  // link, and watches address.
  void Show(const std::string& notice, const std::string& address);
  // The view goes elsewhere: nothing is watched any more.
  void Clear();
  bool shown() const { return shown_; }
  const std::string& address() const { return address_; }

  // How often the failed address is asked whether it answers again.
  static constexpr int kProbeMs = 3000;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Probe();
  void Back();

  QWebEnginePage& page_;
  QWidget& view_;
  std::function<void(const std::string&)> goBack_;
  QNetworkAccessManager* network_ = nullptr;  // made at the first failure
  QTimer probeTimer_;
  QPointer<QNetworkReply> probe_;
  std::string address_;
  bool shown_ = false;
};

// The page that shows notice: its lines as text, escaped.
QString FailureHtml(const std::string& notice);

}  // namespace tavlin::ui
