#include "editor_qt/service_table_model.h"

#include <QMimeData>
#include <algorithm>
#include <numeric>

#include "editor/row_clipboard.h"
#include "editor_qt/editor_dialogs.h"

namespace tavlink::editor {

namespace {

constexpr const char* kIdsType = "application/x-tavlink-service-ids";
constexpr const char* kTextType = "text/plain";

ServiceColumn Column(int column) {
  return static_cast<ServiceColumn>(column);
}

}  // namespace

ServiceTableModel::ServiceTableModel(EditorLogic& logic, QObject* parent)
    : QAbstractTableModel(parent), logic_(logic) {
  ComputeRows();
}

void ServiceTableModel::ComputeRows() {
  rows_.clear();
  if (List() == nullptr) return;
  if (Identity()) {
    rows_.resize(List()->services().size());
    std::iota(rows_.begin(), rows_.end(), 0);
  } else {
    rows_ = ShownServices(*List(), filter_);
  }
}

void ServiceTableModel::Reload() {
  beginResetModel();
  ComputeRows();
  endResetModel();
}

void ServiceTableModel::SetFilter(const ServiceFilter& filter) {
  filter_ = filter;
  Reload();
}

void ServiceTableModel::ChangedAll() {
  if (!rows_.empty()) {
    emit dataChanged(index(0, 0),
                     index(static_cast<int>(rows_.size()) - 1, kServiceColumnCount - 1));
  }
}

void ServiceTableModel::Apply(const channels::ListChange& change) {
  using Kind = channels::TableChange::Kind;
  const channels::TableChange& services = change.services;
  const bool others =
      change.satellites.kind != Kind::kNone || change.transponders.kind != Kind::kNone;
  if (!Identity() || services.kind == Kind::kReset) {
    // The shown rows may be others: the same count repaints, another resets.
    std::vector<int> before = rows_;
    ComputeRows();
    if (rows_.size() == before.size()) {
      ChangedAll();
    } else {
      std::swap(rows_, before);
      beginResetModel();
      std::swap(rows_, before);
      endResetModel();
    }
    return;
  }
  const int last = kServiceColumnCount - 1;
  switch (services.kind) {
    case Kind::kNone:
    case Kind::kReset:
      break;
    case Kind::kRowsChanged:
      for (int row : services.rows) emit dataChanged(index(row, 0), index(row, last));
      break;
    case Kind::kRowsInserted: {
      // Ascending positions after: each run goes in where it ends up.
      size_t i = 0;
      while (i < services.rows.size()) {
        size_t j = i;
        while (j + 1 < services.rows.size() && services.rows[j + 1] == services.rows[j] + 1) ++j;
        beginInsertRows({}, services.rows[i], services.rows[j]);
        rows_.resize(rows_.size() + (j - i + 1));
        std::iota(rows_.begin(), rows_.end(), 0);
        endInsertRows();
        i = j + 1;
      }
      // The rows after each run show new positions.
      if (!services.rows.empty() && services.rows.front() < static_cast<int>(rows_.size())) {
        emit dataChanged(index(services.rows.front(), 0),
                         index(static_cast<int>(rows_.size()) - 1, last));
      }
      break;
    }
    case Kind::kRowsRemoved: {
      // Ascending positions before: the runs go from the last one back.
      size_t j = services.rows.size();
      while (j > 0) {
        size_t i = j - 1;
        while (i > 0 && services.rows[i - 1] == services.rows[i] - 1) --i;
        beginRemoveRows({}, services.rows[i], services.rows[j - 1]);
        rows_.resize(rows_.size() - (j - i));
        endRemoveRows();
        j = i;
      }
      if (!services.rows.empty() && services.rows.front() < static_cast<int>(rows_.size())) {
        emit dataChanged(index(services.rows.front(), 0),
                         index(static_cast<int>(rows_.size()) - 1, last));
      }
      break;
    }
    case Kind::kRowsMoved: {
      // Every row between the lowest and the highest position concerned may
      // show another service now.
      int low = static_cast<int>(rows_.size()), high = -1;
      for (const std::vector<int>* positions : {&services.rows, &services.to}) {
        for (int position : *positions) {
          low = std::min(low, position);
          high = std::max(high, position);
        }
      }
      if (high >= low) emit dataChanged(index(low, 0), index(high, last));
      break;
    }
  }
  if (others) ChangedAll();
}

channels::ServiceId ServiceTableModel::IdAt(int row) const {
  if (row < 0 || static_cast<size_t>(row) >= rows_.size() || List() == nullptr) return {};
  return List()->services()[static_cast<size_t>(rows_[static_cast<size_t>(row)])].id();
}

int ServiceTableModel::RowOf(channels::ServiceId id) const {
  if (List() == nullptr) return -1;
  const int position = List()->PositionOf(id);
  if (position < 0) return -1;
  if (Identity()) return position;
  const auto it = std::lower_bound(rows_.begin(), rows_.end(), position);
  return it != rows_.end() && *it == position ? static_cast<int>(it - rows_.begin()) : -1;
}

int ServiceTableModel::PositionAt(int row) const {
  if (row >= 0 && static_cast<size_t>(row) < rows_.size()) return rows_[static_cast<size_t>(row)];
  return List() != nullptr ? static_cast<int>(List()->services().size()) : 0;
}

int ServiceTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ServiceTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kServiceColumnCount;
}

QVariant ServiceTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || List() == nullptr || static_cast<size_t>(index.row()) >= rows_.size()) {
    return {};
  }
  const ServiceColumn column = Column(index.column());
  const int position = rows_[static_cast<size_t>(index.row())];
  if (IsFlagColumn(column)) {
    if (role == Qt::CheckStateRole) {
      return FlagValue(List()->services()[static_cast<size_t>(position)], column) ? Qt::Checked
                                                                                  : Qt::Unchecked;
    }
    return {};
  }
  if (role == Qt::DisplayRole || role == Qt::EditRole) {
    return ListText(ServiceCellText(*List(), position, column));
  }
  if (role == Qt::TextAlignmentRole && column != ServiceColumn::kName &&
      column != ServiceColumn::kSatellite && column != ServiceColumn::kType &&
      column != ServiceColumn::kTransponder) {
    return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  }
  return {};
}

QVariant ServiceTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal) return QString(ServiceColumnTitle(Column(section)));
  return {};
}

Qt::ItemFlags ServiceTableModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags flags = Qt::ItemIsDropEnabled;
  if (!index.isValid()) return flags;
  flags |= Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
  const ServiceColumn column = Column(index.column());
  if (IsEditableColumn(column)) flags |= Qt::ItemIsEditable;
  if (IsFlagColumn(column)) flags |= Qt::ItemIsUserCheckable;
  return flags;
}

bool ServiceTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  const channels::ServiceId id = IdAt(index.row());
  if (!id.valid()) return false;
  const ServiceColumn column = Column(index.column());
  if (role == Qt::CheckStateRole && IsFlagColumn(column)) {
    const bool on = value.toInt() == Qt::Checked;
    return !logic_.SetFlag({&id, 1}, FlagOf(column), on).refused();
  }
  if (role == Qt::EditRole && IsEditableColumn(column)) {
    if (value.toString() == data(index, Qt::EditRole).toString()) return true;
    return !logic_.EditCell(id, column, ListBytes(value.toString())).refused();
  }
  return false;
}

Qt::DropActions ServiceTableModel::supportedDropActions() const {
  return Qt::MoveAction | Qt::CopyAction;
}

Qt::DropActions ServiceTableModel::supportedDragActions() const {
  return Qt::MoveAction | Qt::CopyAction;
}

QStringList ServiceTableModel::mimeTypes() const {
  return {kIdsType, kTextType};
}

QMimeData* ServiceTableModel::mimeData(const QModelIndexList& indexes) const {
  std::vector<channels::ServiceId> ids;
  for (const QModelIndex& index : indexes) {
    const channels::ServiceId id = IdAt(index.row());
    if (id.valid() && std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
  }
  if (ids.empty() || List() == nullptr) return nullptr;
  auto* data = new QMimeData;
  // The model's own address tells a drop on this table from one on another.
  QByteArray own = QByteArray::number(reinterpret_cast<quintptr>(this));
  for (channels::ServiceId id : ids) own += ' ' + QByteArray::number(id.value);
  data->setData(kIdsType, own);
  data->setText(ListText(CopyServices(*List(), ids).text));
  return data;
}

bool ServiceTableModel::canDropMimeData(const QMimeData* data, Qt::DropAction, int, int,
                                        const QModelIndex&) const {
  return List() != nullptr && data != nullptr && (data->hasFormat(kIdsType) || data->hasText());
}

bool ServiceTableModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int,
                                     const QModelIndex& parent) {
  if (action == Qt::IgnoreAction || List() == nullptr || data == nullptr) return false;
  if (row < 0) row = parent.isValid() ? parent.row() : rowCount();
  const int position = PositionAt(row);
  const QList<QByteArray> words = data->data(kIdsType).split(' ');
  if (!words.isEmpty() && words.front() == QByteArray::number(reinterpret_cast<quintptr>(this))) {
    std::vector<channels::ServiceId> ids;
    int before = 0;  // dragged services above the drop, which close up
    for (qsizetype i = 1; i < words.size(); ++i) {
      const channels::ServiceId id{words[i].toUInt()};
      const int at = List()->PositionOf(id);
      if (at < 0) continue;
      ids.push_back(id);
      if (at < position) ++before;
    }
    logic_.MoveServices(ids, channels::MoveTo::ToPosition(position - before));
    emit ServicesDropped(ids);
  } else if (data->hasText()) {
    // From another window (or program): pasted as the clipboard would be.
    emit ServicesDropped(logic_.PasteText(ListBytes(data->text()), position));
  }
  // The model moved the rows itself: the view removes nothing.
  return false;
}

}  // namespace tavlink::editor
