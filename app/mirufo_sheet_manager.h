// The page manager: the registered pages in page order, one panel per page
// filling the main window's content area, and which page is current.
#pragma once

#include <vector>

class QWidget;

namespace mirufo {

class TMirufoSheetForm;

class TMirufoSheetManager {
public:
  // host: the content area the panels fill.
  explicit TMirufoSheetManager(QWidget* host);

  // Creates the page's panel in the host and puts the page in it; returns
  // the page's index. The page is not owned.
  int AddPage(TMirufoSheetForm* page);
  int PageCount() const { return static_cast<int>(pages_.size()); }
  TMirufoSheetForm* Page(int index) const;
  int Current() const { return current_; }
  // None while no page is current.
  TMirufoSheetForm* CurrentPage() const { return Page(current_); }
  // Shows the page's panel in front and tells the page PageActivated; an
  // index outside the pages makes none current and hides every panel.
  void SetCurrent(int index);
  // Forgets a page that is going away (its panel goes with it).
  void RemovePage(TMirufoSheetForm* page);

private:
  QWidget* host_;
  std::vector<TMirufoSheetForm*> pages_;
  std::vector<QWidget*> panels_;
  int current_ = -1;
};

} // namespace mirufo
