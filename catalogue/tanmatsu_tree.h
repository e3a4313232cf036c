// The carrier and series tree of the handset page: a root "すべて", one node
// per carrier, per series and per handset name, each with a three-state check
// box; the visible rows; the hit areas of a row; and the page's helpers that
// compute leaf check states from the ticks and keep the tree up to date.
#pragma once

#include "catalogue/tanmatsu_record.h"
#include "catalogue/tanmatsu_selection.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace mirufo {

enum TCheckBoxState : std::uint8_t { cbUnchecked = 0, cbChecked = 1, cbGrayed = 2 };

// Which filter a new child gets.
enum TTreeFilterKind : std::uint8_t { tfCarrier, tfSeries, tfName };

inline constexpr std::string_view kTreeRootCaption = "すべて";
inline constexpr std::string_view kNoCheckStateEventMessage =
    "イベントが割り当てられていないため、チェック状態を更新できません";

class TTanmatsuTreeNode;

// Answers the check state of a node without children.
using TGetCheckStateEvent = std::function<TCheckBoxState(const TTanmatsuTreeNode&)>;

// An ordered list of node references; it does not own the nodes. Indexes out
// of range raise ERangeError("TTanmatsuTreeNodeList").
class TTanmatsuTreeNodeList {
public:
  std::size_t Count() const { return items_.size(); }
  TTanmatsuTreeNode* Items(std::size_t index) const;
  TTanmatsuTreeNode* operator[](std::size_t index) const { return Items(index); }
  void Add(TTanmatsuTreeNode* node) { items_.push_back(node); }
  // Index of the node, or -1.
  int IndexOf(const TTanmatsuTreeNode* node) const;
  // Takes the first reference to the node out of the list, if there is one.
  void Remove(const TTanmatsuTreeNode* node);
  void Clear() { items_.clear(); }

  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

private:
  std::vector<TTanmatsuTreeNode*> items_;
};

// One node of the tree. A node owns its children: destroying a node destroys
// its children first, and every node takes itself out of its parent's list
// when it goes, so a child may also be deleted on its own.
class TTanmatsuTreeNode {
public:
  // A root: no parent, empty caption and filters, unchecked, collapsed.
  explicit TTanmatsuTreeNode(TGetCheckStateEvent onGetCheckState = {});
  ~TTanmatsuTreeNode();
  TTanmatsuTreeNode(const TTanmatsuTreeNode&) = delete;
  TTanmatsuTreeNode& operator=(const TTanmatsuTreeNode&) = delete;

  TTanmatsuTreeNode* Parent() const { return parent_; }
  const TTanmatsuTreeNodeList& Children() const { return children_; }
  const TGetCheckStateEvent& OnGetCheckState() const { return onGetCheckState_; }
  // Children created afterwards copy the new callback; existing ones keep theirs.
  void SetOnGetCheckState(TGetCheckStateEvent event) { onGetCheckState_ = std::move(event); }

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string_view caption) { caption_ = caption; }
  TCheckBoxState CheckState() const { return checkState_; }
  void SetCheckState(TCheckBoxState state) { checkState_ = state; }
  const std::string& CarrierFilter() const { return carrierFilter_; }
  const std::string& SeriesFilter() const { return seriesFilter_; }
  const std::string& NameFilter() const { return nameFilter_; }

  // Appends a child with this node's callback, the caption, and the one filter.
  TTanmatsuTreeNode* AddChild(std::string_view caption, TTreeFilterKind kind,
                              std::string_view filter);
  // The first child whose caption equals the text exactly, or nullptr.
  TTanmatsuTreeNode* FindChild(std::string_view caption) const;

  // Called on the root for one handset record: adds the carrier, series and
  // handset nodes that are missing; handsets without a series hang under the
  // carrier. The series node of the record is collapsed every time. User
  // handsets with a series get a series node and a handset node under
  // "ユーザー定義"; while no user handset has a series the carrier node has
  // no children, and once it has, user handsets without a series get a
  // handset node directly under it. User series and handset nodes also
  // require the user carrier, so they never stand for a built-in handset of
  // the same name.
  void AddRecord(const TTanmatsuRecord& record);

  // Whether the record passes this node's own filters (not its ancestors'):
  // a handset node stands for every record of that name.
  bool Matches(const TTanmatsuRecord& record) const;

  // Number of ancestors.
  int Level() const;
  bool HasChildren() const { return children_.Count() > 0; }
  bool IsExpanded() const { return expanded_ && HasChildren(); }
  // A node without children stays collapsed.
  void SetExpanded(bool value) { expanded_ = value && HasChildren(); }

  // Recomputes the state: from the children (any partly checked, or some but
  // not all checked, gives partly checked), or, for a node without children,
  // from the callback. With upwards, then the parent's and so on to the root.
  // Raises EMirufoError when a node without children has no callback.
  void UpdateCheckState(bool upwards);
  // Recomputes every state of this subtree, children before parents.
  void UpdateAll();
  // Gives every descendant this node's state.
  void PropagateState();

  // The visible rows: this node, then, if it is expanded, its children each
  // followed by its own visible rows.
  void FillRows(TTanmatsuTreeNodeList& rows);

private:
  void AddUserRecord(TTanmatsuTreeNode& carrierNode, const TTanmatsuRecord& record);

  TTanmatsuTreeNode* parent_ = nullptr;
  TTanmatsuTreeNodeList children_;
  bool expanded_ = false;
  TGetCheckStateEvent onGetCheckState_;
  std::string caption_;
  TCheckBoxState checkState_ = cbUnchecked;
  std::string carrierFilter_;
  std::string nameFilter_;
  std::string seriesFilter_;
};

// A root captioned "すべて" with a node path for every handset, in catalogue
// order (user handsets without a series that come before the first user
// series get their nodes after the series nodes). Everything starts
// collapsed, so the only visible row is the root.
std::unique_ptr<TTanmatsuTreeNode> CreateTanmatsuTree(const TTanmatsuSelection& handsets,
                                                      TGetCheckStateEvent onGetCheckState);

// Indexes of the handsets the node stands for, in catalogue order (what the
// handset page lists when the node is selected).
std::vector<std::size_t> MatchingHandsets(const TTanmatsuTreeNode& node,
                                          const TTanmatsuSelection& handsets);

// The handset page's check-state callback. For the node selected in the tree
// it looks at the listed handsets, for any other node at every handset the
// node matches: unchecked when none is ticked (or there is none), checked
// when all are, grayed as soon as both a ticked and an unticked one are seen.
TCheckBoxState HandsetsCheckState(const TTanmatsuTreeNode& node, const TTanmatsuSelection& handsets,
                                  const TTanmatsuTreeNode* selectedNode,
                                  const std::vector<std::size_t>& listed);

// Brings the tree up to date after the ticks of the given handsets changed:
// every node without children that one of them matches recomputes its state
// and its ancestors'. All branches are searched, not only those whose upper
// nodes match: a handset node stands for every record of its name, so the
// SH900i node under one series must follow ticks made under another.
// Nodes inside skip (when given) are left as they are.
void UpdateTreeForHandsets(TTanmatsuTreeNode& root, const TTanmatsuSelection& handsets,
                           const std::vector<std::size_t>& changed,
                           const TTanmatsuTreeNode* skip = nullptr);

// A click on a node's check box, after the page has selected the node and
// listed its handsets: the node becomes checked unless it was checked (then
// unchecked), all listed handsets are ticked or unticked in one batch, the
// node's descendants take its new state, its ancestors are recomputed, and the
// other nodes that stand for the same handsets are brought up to date.
// Returns the new state.
TCheckBoxState ClickNodeCheckBox(TTanmatsuTreeNode& root, TTanmatsuTreeNode& node,
                                 TTanmatsuSelection& handsets,
                                 const std::vector<std::size_t>& listed);

// A box in row coordinates: Left and Top inside, Right and Bottom just outside.
struct TTreeBox {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
  friend bool operator==(const TTreeBox&, const TTreeBox&) = default;
};

// Where the parts of a tree row stand. A row is indented 18 pixels per level;
// the 9 x 9 expand box stands 4 pixels into the indent and the check box 17
// pixels into it, both centred vertically; the caption starts 4 pixels after
// the check box. The check-box size is the platform's glyph size.
struct TTreeRowGeometry {
  int RowHeight = 18;
  int CheckBoxWidth = 13;
  int CheckBoxHeight = 13;

  static constexpr int kIndent = 18;
  static constexpr int kExpandBoxSize = 9;
  static constexpr int kExpandBoxOffset = 4;
  static constexpr int kCheckBoxOffset = 17;
  static constexpr int kCaptionGap = 4;

  // Boxes of a row at the given level, with the row's top at 0.
  TTreeBox ExpandBox(int level) const;
  TTreeBox CheckBox(int level) const;
  int CaptionLeft(int level) const;
};

enum TTreeHitKind : std::uint8_t { thNone, thExpandBox, thCheckBox, thRow };

struct TTreeHit {
  TTreeHitKind Kind = thNone;
  std::size_t Row = 0;               // meaningful unless Kind is thNone
  TTanmatsuTreeNode* Node = nullptr; // the row's node, or nullptr
};

// Classifies a click at (x, y), where y counts from the top of the first row:
// no row; the expand box (only for a node with children); the check box;
// elsewhere on the row.
TTreeHit HitTestTreeRows(const TTanmatsuTreeNodeList& rows, const TTreeRowGeometry& geometry, int x,
                         int y);

} // namespace mirufo
