#include "catalogue/tanmatsu_tree.h"

#include "platform/errors.h"

#include <algorithm>

namespace mirufo {

TTanmatsuTreeNode* TTanmatsuTreeNodeList::Items(std::size_t index) const {
  if (index >= items_.size())
    throw ERangeError("TTanmatsuTreeNodeList");
  return items_[index];
}

int TTanmatsuTreeNodeList::IndexOf(const TTanmatsuTreeNode* node) const {
  auto found = std::find(items_.begin(), items_.end(), node);
  return found == items_.end() ? -1 : static_cast<int>(found - items_.begin());
}

void TTanmatsuTreeNodeList::Remove(const TTanmatsuTreeNode* node) {
  auto found = std::find(items_.begin(), items_.end(), node);
  if (found != items_.end())
    items_.erase(found);
}

TTanmatsuTreeNode::TTanmatsuTreeNode(TGetCheckStateEvent onGetCheckState)
    : onGetCheckState_(std::move(onGetCheckState)) {}

TTanmatsuTreeNode::~TTanmatsuTreeNode() {
  // Each child takes itself out of children_ as it goes.
  while (children_.Count() > 0)
    delete children_.Items(children_.Count() - 1);
  if (parent_ != nullptr)
    parent_->children_.Remove(this);
}

TTanmatsuTreeNode* TTanmatsuTreeNode::AddChild(std::string_view caption, TTreeFilterKind kind,
                                               std::string_view filter) {
  auto* child = new TTanmatsuTreeNode(onGetCheckState_);
  child->parent_ = this;
  child->caption_ = caption;
  switch (kind) {
  case tfCarrier:
    child->carrierFilter_ = filter;
    break;
  case tfSeries:
    child->seriesFilter_ = filter;
    break;
  case tfName:
    child->nameFilter_ = filter;
    break;
  }
  children_.Add(child);
  return child;
}

TTanmatsuTreeNode* TTanmatsuTreeNode::FindChild(std::string_view caption) const {
  for (TTanmatsuTreeNode* child : children_)
    if (child->caption_ == caption)
      return child;
  return nullptr;
}

void TTanmatsuTreeNode::AddRecord(const TTanmatsuRecord& record) {
  std::string carrier = CarrierName(record.Carrier);
  TTanmatsuTreeNode* carrierNode = FindChild(carrier);
  if (carrierNode == nullptr)
    carrierNode = AddChild(carrier, tfCarrier, carrier);
  if (record.Carrier == crUser) {
    AddUserRecord(*carrierNode, record);
    return;
  }

  TTanmatsuTreeNode* parent = carrierNode;
  if (!record.Series.empty()) {
    parent = carrierNode->FindChild(record.Series);
    if (parent == nullptr)
      parent = carrierNode->AddChild(record.Series, tfSeries, record.Series);
    parent->SetExpanded(false);
  }
  if (parent->FindChild(record.Name) == nullptr)
    parent->AddChild(record.Name, tfName, record.Name);
}

void TTanmatsuTreeNode::AddUserRecord(TTanmatsuTreeNode& carrierNode,
                                      const TTanmatsuRecord& record) {
  // Without series nodes the carrier node stands for every user handset by
  // itself; once it has children its state comes from them, so then every
  // user handset needs a node below it.
  if (record.Series.empty() && !carrierNode.HasChildren())
    return;
  TTanmatsuTreeNode* parent = &carrierNode;
  if (!record.Series.empty()) {
    parent = carrierNode.FindChild(record.Series);
    if (parent == nullptr) {
      parent = carrierNode.AddChild(record.Series, tfSeries, record.Series);
      // A user's series or handset name may equal a built-in one: these
      // nodes stand for user handsets only.
      parent->carrierFilter_ = carrierNode.carrierFilter_;
    }
    parent->SetExpanded(false);
  }
  // A handset named like a series would find the series node by caption:
  // look for a handset node only.
  for (TTanmatsuTreeNode* child : parent->children_)
    if (child->caption_ == record.Name && !child->nameFilter_.empty())
      return;
  TTanmatsuTreeNode* node = parent->AddChild(record.Name, tfName, record.Name);
  node->carrierFilter_ = carrierNode.carrierFilter_;
}

bool TTanmatsuTreeNode::Matches(const TTanmatsuRecord& record) const {
  return (carrierFilter_.empty() || carrierFilter_ == CarrierName(record.Carrier)) &&
         (seriesFilter_.empty() || seriesFilter_ == record.Series) &&
         (nameFilter_.empty() || nameFilter_ == record.Name);
}

int TTanmatsuTreeNode::Level() const {
  int level = 0;
  for (const TTanmatsuTreeNode* p = parent_; p != nullptr; p = p->parent_)
    ++level;
  return level;
}

void TTanmatsuTreeNode::UpdateCheckState(bool upwards) {
  if (HasChildren()) {
    std::size_t checked = 0;
    bool grayed = false;
    for (const TTanmatsuTreeNode* child : children_) {
      if (child->checkState_ == cbGrayed) {
        grayed = true;
        break;
      }
      if (child->checkState_ == cbChecked)
        ++checked;
    }
    if (grayed)
      checkState_ = cbGrayed;
    else if (checked == 0)
      checkState_ = cbUnchecked;
    else if (checked == children_.Count())
      checkState_ = cbChecked;
    else
      checkState_ = cbGrayed;
  } else {
    if (!onGetCheckState_)
      throw EMirufoError(std::string(kNoCheckStateEventMessage));
    checkState_ = onGetCheckState_(*this);
  }
  if (upwards && parent_ != nullptr)
    parent_->UpdateCheckState(true);
}

void TTanmatsuTreeNode::UpdateAll() {
  for (TTanmatsuTreeNode* child : children_)
    child->UpdateAll();
  UpdateCheckState(false);
}

void TTanmatsuTreeNode::PropagateState() {
  for (TTanmatsuTreeNode* child : children_) {
    child->checkState_ = checkState_;
    child->PropagateState();
  }
}

void TTanmatsuTreeNode::FillRows(TTanmatsuTreeNodeList& rows) {
  rows.Clear();
  rows.Add(this);
  if (!IsExpanded())
    return;
  // Depth first, each node followed at once by its own visible rows.
  struct Walker {
    TTanmatsuTreeNodeList& rows;
    void Visit(const TTanmatsuTreeNode& node) {
      for (TTanmatsuTreeNode* child : node.Children()) {
        rows.Add(child);
        if (child->IsExpanded())
          Visit(*child);
      }
    }
  };
  Walker{rows}.Visit(*this);
}

std::unique_ptr<TTanmatsuTreeNode> CreateTanmatsuTree(const TTanmatsuSelection& handsets,
                                                      TGetCheckStateEvent onGetCheckState) {
  auto root = std::make_unique<TTanmatsuTreeNode>(std::move(onGetCheckState));
  root->SetCaption(kTreeRootCaption);
  for (std::size_t i = 0; i < handsets.HandsetCount(); ++i)
    root->AddRecord(handsets.GetHandset(i));
  // User handsets without a series that came before the first one with a
  // series found a childless carrier node and got no node of their own.
  const TTanmatsuTreeNode* user = root->FindChild(CarrierName(crUser));
  if (user != nullptr && user->HasChildren())
    for (std::size_t i = 0; i < handsets.HandsetCount(); ++i) {
      const TTanmatsuRecord record = handsets.GetHandset(i);
      if (record.Carrier == crUser && record.Series.empty())
        root->AddRecord(record);
    }
  return root;
}

std::vector<std::size_t> MatchingHandsets(const TTanmatsuTreeNode& node,
                                          const TTanmatsuSelection& handsets) {
  std::vector<std::size_t> result;
  for (std::size_t i = 0; i < handsets.HandsetCount(); ++i)
    if (node.Matches(handsets.GetHandset(i)))
      result.push_back(i);
  return result;
}

namespace {

// Folds ticks in order: grayed as soon as both kinds are seen.
class TTickScan {
public:
  bool Add(bool ticked) {
    (ticked ? ticked_ : unticked_) = true;
    return ticked_ && unticked_;
  }
  TCheckBoxState State() const {
    if (ticked_ && unticked_)
      return cbGrayed;
    return ticked_ ? cbChecked : cbUnchecked;
  }

private:
  bool ticked_ = false;
  bool unticked_ = false;
};

void UpdateLeaves(TTanmatsuTreeNode& node, const std::vector<TTanmatsuRecord>& records,
                  const TTanmatsuTreeNode* skip) {
  for (TTanmatsuTreeNode* child : node.Children()) {
    if (child == skip)
      continue;
    if (child->HasChildren()) {
      UpdateLeaves(*child, records, skip);
      continue;
    }
    if (std::any_of(records.begin(), records.end(),
                    [&](const TTanmatsuRecord& r) { return child->Matches(r); }))
      child->UpdateCheckState(true);
  }
}

} // namespace

TCheckBoxState HandsetsCheckState(const TTanmatsuTreeNode& node, const TTanmatsuSelection& handsets,
                                  const TTanmatsuTreeNode* selectedNode,
                                  const std::vector<std::size_t>& listed) {
  TTickScan scan;
  if (&node == selectedNode) {
    for (std::size_t index : listed)
      if (scan.Add(handsets.IsSelected(index)))
        break;
  } else {
    for (std::size_t i = 0; i < handsets.HandsetCount(); ++i)
      if (node.Matches(handsets.GetHandset(i)) && scan.Add(handsets.IsSelected(i)))
        break;
  }
  return scan.State();
}

void UpdateTreeForHandsets(TTanmatsuTreeNode& root, const TTanmatsuSelection& handsets,
                           const std::vector<std::size_t>& changed, const TTanmatsuTreeNode* skip) {
  std::vector<TTanmatsuRecord> records;
  records.reserve(changed.size());
  for (std::size_t index : changed)
    if (index < handsets.HandsetCount())
      records.push_back(handsets.GetHandset(index));
  if (!records.empty())
    UpdateLeaves(root, records, skip);
}

TCheckBoxState ClickNodeCheckBox(TTanmatsuTreeNode& root, TTanmatsuTreeNode& node,
                                 TTanmatsuSelection& handsets,
                                 const std::vector<std::size_t>& listed) {
  TCheckBoxState state = node.CheckState() == cbChecked ? cbUnchecked : cbChecked;
  std::vector<bool> ticks(handsets.HandsetCount());
  for (std::size_t i = 0; i < ticks.size(); ++i)
    ticks[i] = handsets.IsSelected(i);
  for (std::size_t index : listed)
    if (index < ticks.size())
      ticks[index] = state == cbChecked;
  handsets.ApplySelection(ticks);

  node.SetCheckState(state);
  node.PropagateState();
  // Nodes elsewhere that stand for some of the same handsets (a handset name
  // that appears in two series) follow the new ticks; the clicked subtree
  // keeps the state just given to it.
  UpdateTreeForHandsets(root, handsets, listed, &node);
  node.UpdateCheckState(true);
  return state;
}

TTreeBox TTreeRowGeometry::ExpandBox(int level) const {
  int left = kIndent * level + kExpandBoxOffset;
  int top = (RowHeight - kExpandBoxSize) / 2;
  return {left, top, left + kExpandBoxSize, top + kExpandBoxSize};
}

TTreeBox TTreeRowGeometry::CheckBox(int level) const {
  int left = kIndent * level + kCheckBoxOffset;
  int top = (RowHeight - CheckBoxHeight) / 2;
  return {left, top, left + CheckBoxWidth, top + CheckBoxHeight};
}

int TTreeRowGeometry::CaptionLeft(int level) const {
  return CheckBox(level).Right + kCaptionGap;
}

TTreeHit HitTestTreeRows(const TTanmatsuTreeNodeList& rows, const TTreeRowGeometry& geometry, int x,
                         int y) {
  TTreeHit hit;
  if (x < 0 || y < 0 || geometry.RowHeight <= 0)
    return hit;
  auto row = static_cast<std::size_t>(y / geometry.RowHeight);
  if (row >= rows.Count())
    return hit;
  hit.Row = row;
  hit.Node = rows.Items(row);
  int level = hit.Node->Level();
  int yInRow = y % geometry.RowHeight;
  if (hit.Node->HasChildren() && geometry.ExpandBox(level).Contains(x, yInRow))
    hit.Kind = thExpandBox;
  else if (geometry.CheckBox(level).Contains(x, yInRow))
    hit.Kind = thCheckBox;
  else
    hit.Kind = thRow;
  return hit;
}

} // namespace mirufo
