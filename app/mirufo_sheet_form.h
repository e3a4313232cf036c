// The base of the four pages. A page reaches the shared state only through
// the services below (each forwards to the main window) and learns of
// changes made elsewhere through the hooks, which it overrides.
#pragma once

#include "engine/standby_types.h"

#include <QWidget>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class QMenu;

namespace mirufo {

class TBitmap;
class TCalendarDecorator;
class TForm1;
class TTanmatsuOptionList;
class TUserFiles;

class TMirufoSheetForm : public QWidget {
  Q_OBJECT

public:
  explicit TMirufoSheetForm(TForm1& form);
  ~TMirufoSheetForm() override;

  // The caption the main window's title shows.
  virtual std::string Caption() const = 0;

  // Hooks, in slot order.
  virtual void DecorationsChanged();
  virtual void GetStatusText(std::string& text);
  virtual void MouseWheel(QObject* sender, Qt::KeyboardModifiers shift, bool& handled,
                          QPoint mousePos, int wheelDelta);
  virtual void PageActivated();
  virtual void SourceImageChanged();
  virtual void SelectionChanged(std::size_t index, bool selected);
  virtual void SelectionUpdated();
  virtual void TargetMade(int index);
  // The page's own main menu; the main window's menu bar shows it while the
  // page is current. The page owns the menus.
  virtual std::vector<QMenu*> GetPageMenu();
  virtual bool CanGoNext();

  // Sets the enabled and checked state of the page's commands; the main
  // window runs it after every event that can change them.
  virtual void UpdateActions() {}

  // Services.
  void RegisterPage();
  bool Registered() const { return registered_; }
  TTanmatsuOptionList& WorkingSet();
  std::string ApplicationTitle() const;
  std::filesystem::path SettingsFileName() const;
  TUserFiles& UserFiles();
  TCalendarDecorator& CalendarDecorator();
  const TBitmap& SourceBitmap() const;
  bool IsSourceEmpty() const;
  void SetSourceImage(const TBitmap& bitmap);
  std::string SourceFileName() const;
  void SetSourceFileName(const std::string& path);
  TLookAtPoint LookAtPoint() const;
  void SetLookAtPoint(TLookAtPoint point);
  void SelectHandset(std::size_t index, bool on);
  void SelectHandsets(const std::vector<std::size_t>& indices, bool on);
  void ApplySelection(const std::vector<bool>& ticks);
  void MakeAll(bool showTime);
  std::string CommentText() const;
  void SetComment(const std::string& text);
  bool KDDICopyright() const;
  void SetKDDICopyright(bool flag);
  void RefreshStatusText();
  void RefreshNext();
  void ShowHelp();
  void ShowHomePage();
  void ShowAbout();

  TForm1& Form() const { return form_; }

protected:
  // The "ヘルプ(&H)" menu every page's main menu ends with; owned by the page.
  QMenu* CreateHelpMenu();

private:
  class THooks;

  TForm1& form_;
  std::unique_ptr<THooks> hooks_;
  bool registered_ = false;
};

} // namespace mirufo
