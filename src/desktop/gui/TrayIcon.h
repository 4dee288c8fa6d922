// The program's icon in the desktop's notification area: one picture with a
// tooltip, whose mouse actions become the component's events. Where the
// desktop has no notification area the component keeps its whole state
// (visibility, picture, hint) so the program runs the same without it.
#pragma once

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "desktop/TrayEvents.h"

class QMenu;
class QSystemTrayIcon;

namespace varnoket {

class TrayIcon : public QObject, private TrayEventSink {
  Q_OBJECT

 public:
  explicit TrayIcon(QObject* parent = nullptr);
  // Removes the icon from the notification area.
  ~TrayIcon() override;

  // Copies the picture and shows it.
  void SetIcon(const QIcon& icon);
  // When a list is set, the picture is its entry ImageIndex (an empty
  // picture for an index outside the list). Not owned.
  void SetImageList(const std::vector<QIcon>* list);
  const std::vector<QIcon>* ImageList() const { return imageList_; }
  void SetImageIndex(int index);
  int ImageIndex() const { return imageIndex_; }
  void SetVisible(bool visible);
  bool Visible() const { return visible_; }
  // When false, mouse actions on the icon raise nothing.
  void SetEnabled(bool enabled) { enabled_ = enabled; }
  bool Enabled() const { return enabled_; }
  // Cut to its first 63 characters.
  void SetHint(const std::string& hint);
  std::string Hint() const { return hint_; }
  // The menu of the right button; not owned, forgotten when it is destroyed.
  // It is the notification area's own context menu: the desktop opens it
  // (an X11 tray on a right click, a StatusNotifierItem host through the
  // menu it is exported as), and OnPopupMenu is raised once it closes.
  void SetPopupMenu(QMenu* menu);
  QMenu* PopupMenu() const;

  // Events; Sender is this component.
  std::function<void(TrayIcon*)> OnClick, OnDoubleClick, OnPopupMenu, OnShow, OnHide;
  std::function<void(TrayIcon*, TrayButton, TrayShiftState, int x, int y)> OnMouseDown, OnMouseUp;

  // One raw mouse message on the icon, as the notification area reports it.
  void HandleTrayMessage(TrayMouseMessage message);

  // A passing message beside the icon (the notification area's own balloon,
  // drawn by Qt where the desktop has no notification service); false when
  // the icon is not shown, so the caller says it some other way.
  bool ShowBalloon(const std::string& title, const std::string& text);

  // The picture the icon shows.
  const QIcon& CurrentIcon() const { return icon_; }
  // Whether the desktop's notification area shows the icon now (false on a
  // desktop without one).
  bool ShownInTray() const;

 private:
  void RefreshFromImageList();
  void AddToTaskbar();
  void DeleteFromTaskbar();
  void Refresh();
  void ShowIcon();
  void HideIcon();
  void OnActivated(int reason);

  // TrayEventSink
  TrayPointer Pointer() override;
  void BringTrayToForeground() override {}
  void BringApplicationToForeground() override {}
  bool PopupAtCursor() override;
  void MouseDown(TrayButton button, TrayShiftState shift, int x, int y) override;
  void MouseUp(TrayButton button, TrayShiftState shift, int x, int y) override;
  void Click() override;
  void DoubleClick() override;
  void PopupMenuClosed() override;

  QIcon icon_;
  const std::vector<QIcon>* imageList_ = nullptr;
  int imageIndex_ = 0;
  bool visible_ = false;
  bool enabled_ = true;
  std::string hint_;
  QPointer<QMenu> popupMenu_;
  // Shown only while the icon is visible, has a picture and the desktop has
  // a notification area.
  QSystemTrayIcon* tray_;
  TrayEvents events_;
};

}  // namespace varnoket
