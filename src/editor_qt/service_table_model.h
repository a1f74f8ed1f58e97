#pragma once
// The services table as a Qt model over the logic's list: one row per
// service the filter shows, the columns of service_columns.h. It follows
// the list through the channel editor's change notices row by row
// (changed, inserted, removed, moved rows), so that an edit of a full list
// repaints only what changed; a filter other than none, or a change of the
// satellites or transponders, computes the shown rows again.
//
// Rows are dragged as the identities of their services (and as clipboard
// text, for another window): a drop on this table moves them there, a drop
// from another window pastes them.
//
// Threading: user-interface thread only.

#include <QAbstractTableModel>
#include <vector>

#include "channels/list_change.h"
#include "editor/editor_logic.h"
#include "editor/service_filter.h"

namespace tavlink::editor {

class ServiceTableModel final : public QAbstractTableModel {
  Q_OBJECT

 public:
  // `logic` must outlive the model.
  ServiceTableModel(EditorLogic& logic, QObject* parent);

  // The list was replaced: every row read again.
  void Reload();
  // Follows one change of the list.
  void Apply(const channels::ListChange& change);
  void SetFilter(const ServiceFilter& filter);
  const ServiceFilter& filter() const { return filter_; }

  // The service of a row, and the row of a service (-1 when not shown).
  channels::ServiceId IdAt(int row) const;
  int RowOf(channels::ServiceId id) const;
  // The list position of a row; the list's size for a row past the end.
  int PositionAt(int row) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

  Qt::DropActions supportedDropActions() const override;
  Qt::DropActions supportedDragActions() const override;
  QStringList mimeTypes() const override;
  QMimeData* mimeData(const QModelIndexList& indexes) const override;
  bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                       const QModelIndex& parent) const override;
  bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                    const QModelIndex& parent) override;

 signals:
  // After a drop moved or pasted services: select them.
  void ServicesDropped(const std::vector<channels::ServiceId>& ids);

 private:
  const channels::ChannelList* List() const { return logic_.list(); }
  void ComputeRows();
  bool Identity() const { return filter_.empty(); }
  void ChangedAll();

  EditorLogic& logic_;
  ServiceFilter filter_;
  std::vector<int> rows_;  // list positions shown, ascending
};

}  // namespace tavlink::editor
