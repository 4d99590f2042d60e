#pragma once

#include "flexgridrowsource.h"

#include <QAbstractItemModel>
#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QList>
#include <QString>
#include <QUtf8StringView>

#include <initializer_list>
#include <memory>
#include <span>
#include <type_traits>
#include <vector>

class QWidget;

// The grid's rows as one flat table (row 0 = header captions), shown to item views as a
// two-level outline: outline nodes with the deeper rows right after them as their children.
//
// Sized for lists of a million rows that are refilled as the user types. A row is either a
// position in a row source (FlexGridRowSource: the text stays with its owner and is read only
// for the cells painted or asked for) or a row of the grid's own (the header, rows added by
// AddItem or grown by SetRows, and source rows once code writes their text); own rows keep their
// text in one UTF-8 arena with cell end offsets. Per row the grid holds eight bytes, per
// top-level row four more: the list of top-level rows, made again once per reset, from which an
// index finds its row in O(1) and a row its index in O(log n).
class FlexGridModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    explicit FlexGridModel(QObject *parent = nullptr);

    // Structural changes (rows, columns, outline shape, sort, clear) must be bracketed by
    // BeginReset/EndReset; outside a bracket they make their own reset.
    void BeginReset();
    void EndReset();
    bool InReset() const { return m_inReset; }

    int Rows() const { return int(m_refs.size()); }
    int Cols() const { return m_cols; }
    void SetRows(int n);
    void SetCols(int n);
    void AppendRow(std::initializer_list<QUtf8StringView> cells);
    void AppendRow(const QList<QString> &cells);
    // Appends one row per entry, read from the source. Rows still held from another source are
    // first copied into the grid's own rows.
    void AppendSourceRows(const std::shared_ptr<const FlexGridRowSource> &source, std::span<const FlexGridSourceRow> rows);
    void ClearText();

    // The source the source rows read from (null while there are none) and how many there are.
    const FlexGridRowSource *Source() const { return m_source.get(); }
    qsizetype SourceRowCount() const { return m_sourceRows; }
    bool IsSourceRow(int r) const { return validRow(r) && !(m_refs[size_t(r)] & kOwn); }

    QString Text(int r, int c) const;
    QString DisplayText(int r, int c) const;
    void SetText(int r, int c, QStringView text);

    bool IsSubtotal(int r) const;
    void SetIsSubtotal(int r, bool node);
    int Level(int r) const;
    void SetLevel(int r, int level);

    // Text colours: a whole-row colour, or single cells; the value is a QColor or an automation
    // colour (see OleColorToQColor), resolved against the palette source when drawn.
    void SetForeColor(int r1, int c1, int r2, int c2, const QColor &colour);
    void SetForeColorOle(int r1, int c1, int r2, int c2, quint32 ole);
    QColor ForeColor(int r, int c) const; // invalid when the cell has the default colour
    // Data role: true when the cell is drawn in the grey of secondary text.
    static constexpr int GreyTextRole = Qt::UserRole + 40;
    bool IsGreyText(int r, int c) const;
    void SetPaletteSource(const QWidget *widget) { m_paletteSource = widget; }

    QString ComboList(int c) const;
    void SetComboList(int c, const QString &list);
    int Alignment(int c) const;
    void SetAlignment(int c, int flexAlignment);

    // For each column of `cols`, the few longest (in UTF-8 bytes) distinct display texts, for
    // fitting its width.
    std::vector<QList<QString>> LongestTexts(std::span<const int> cols) const;

    // Sorts the top-level groups (a row and its children) by column c; returns, for every old
    // row number, its new one.
    std::vector<int> SortGroups(int c, bool ascending);

    // The outline's top-level rows by their place t among them (0 .. TopCount() - 1): the flat
    // row, and the flat row after its last child. TopOf gives the place of the top-level row at or
    // before r (r itself, or the node r is a child of), -1 for the header.
    int TopCount() const
    {
        ensureStructure();
        return int(m_topRows.size());
    }
    int TopRow(int t) const
    {
        ensureStructure();
        return m_topRows[size_t(t)];
    }
    int TopEnd(int t) const
    {
        ensureStructure();
        return topEnd(size_t(t));
    }
    int TopOf(int r) const;

    QModelIndex IndexOfRow(int r, int c = 0) const;
    static int RowOfIndex(const QModelIndex &index) { return index.isValid() ? int(index.internalId()) : 0; }
    int ChildCount(int r) const;
    std::vector<int> NodesWithChildren() const;

    // Storage figures (bytes) for diagnostics and tests.
    qsizetype ArenaBytes() const { return m_arena.size(); }
    qsizetype BytesPerRowBeyondText() const;
    // Bytes the grid holds for its rows (row table, outline lists, own rows and their text).
    qsizetype RowBytes() const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    QModelIndex sibling(int row, int column, const QModelIndex &idx) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    bool hasChildren(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    // Per row, beside its reference. Plain data, so that growing the row table for a refill
    // writes each row once (see UninitAllocator).
    struct RowMeta
    {
        quint16 colour;      // index into m_colours; 0 = default; kSourceColour = ask the source
        qint8 level;
        quint8 flags;        // kSubtotal
    };
    // Leaves new elements of plain types uninitialised: the rows added are written right after.
    template <typename T>
    struct UninitAllocator : std::allocator<T>
    {
        template <typename U>
        struct rebind
        {
            using other = UninitAllocator<U>;
        };
        UninitAllocator() = default;
        template <typename U>
        UninitAllocator(const UninitAllocator<U> &) noexcept {}
        template <typename U>
        void construct(U *p) noexcept(std::is_nothrow_default_constructible_v<U>)
        {
            ::new (static_cast<void *>(p)) U;
        }
        template <typename U, typename... Args>
        void construct(U *p, Args &&...args)
        {
            ::new (static_cast<void *>(p)) U(std::forward<Args>(args)...);
        }
    };
    struct Colour
    {
        bool ole = false;
        quint32 value = 0;   // automation colour, or QRgb
    };
    struct Candidate
    {
        quint32 off = 0;
        quint32 len = 0;
    };
    static constexpr quint8 kSubtotal = 1;
    static constexpr int kCandidates = 8;
    static constexpr quint32 kOwn = FlexGridRowSource::PositionLimit;   // reference bit of own rows
    static constexpr quint16 kSourceColour = 0xFFFF;

    bool validRow(int r) const { return r >= 0 && r < Rows(); }
    // The outline over the flat rows; the top-level list is made again after a structural change.
    void ensureStructure() const
    {
        if (m_structDirty)
            buildStructure();
    }
    // Row r's place in the top-level list, or -1 when it is a child row (r a data row).
    int topIndexOf(int r) const;
    // The flat row after the last child of the top-level row at top index t.
    int topEnd(size_t t) const { return t + 1 < m_topRows.size() ? m_topRows[t + 1] : Rows(); }
    // Whether an index names top-level row j (its row number among them) and not a child row.
    bool isTopIndex(int j, int r) const { return j >= 0 && size_t(j) < m_topRows.size() && m_topRows[size_t(j)] == r; }
    bool validCell(int r, int c) const { return validRow(r) && c >= 0 && c < m_cols; }
    // Own rows, by their own number o (the reference without kOwn).
    quint32 cellStart(size_t o, int c) const;
    quint32 cellEnd(size_t o, int c) const { return m_ends[o * size_t(m_cols) + size_t(c)]; }
    quint32 rowEnd(size_t o) const;
    QByteArrayView ownText(size_t o, int c) const;
    size_t newOwnRow(quint32 start);
    void appendEmptyRow();
    void finishAppendedRow(int r);
    void materialize(int r);
    void sourceRowsGone(qsizetype n);
    void noteCandidate(int c, quint32 off, quint32 len) const;
    void rebuildCandidates() const;
    void maybeCompact();
    void compact(int cols);
    void structureChanged();
    void buildStructure() const;
    void placeLastRow();
    quint16 colourIndex(const Colour &colour);
    void setColourIndex(int r1, int c1, int r2, int c2, quint16 index);
    quint16 colourAt(int r, int c) const;
    QColor resolve(quint16 index) const;
    QColor resolveOle(quint32 ole) const;
    // Makes a structural change its own model reset unless the caller already opened one. The
    // change itself keeps the outline current or marks it for making again.
    struct ResetScope
    {
        explicit ResetScope(FlexGridModel *model) : m(model), own(!model->m_inReset)
        {
            if (own)
                m->BeginReset();
        }
        ~ResetScope()
        {
            if (own)
                m->EndReset();
        }
        ResetScope(const ResetScope &) = delete;
        ResetScope &operator=(const ResetScope &) = delete;
        FlexGridModel *m;
        bool own;
    };
    static quint64 cellKey(int r, int c) { return (quint64(quint32(r)) << 32) | quint32(c); }

    std::vector<quint32, UninitAllocator<quint32>> m_refs;   // per row: a source position, or kOwn | own row number
    std::vector<RowMeta, UninitAllocator<RowMeta>> m_meta;   // per row
    std::shared_ptr<const FlexGridRowSource> m_source;
    qsizetype m_sourceRows = 0;
    // Own rows: text in the arena, cell end offsets per own row; some may no longer be used.
    QByteArray m_arena;
    qsizetype m_liveBytes = 0;            // arena bytes of own rows still in use
    std::vector<quint32> m_ownStart;      // arena offset of each own row's first cell
    std::vector<quint32> m_ends;          // own rows x Cols absolute end offsets
    qsizetype m_ownLive = 0;              // own rows still in use
    int m_cols = 0;
    // Flat rows of the top-level items, ascending; the rows between two of them are the first
    // one's children.
    mutable std::vector<int> m_topRows;
    mutable bool m_structDirty = true;
    bool m_inReset = false;
    std::vector<Colour> m_colours;        // [0] = default
    QHash<quint64, quint16> m_cellColours;
    const QWidget *m_paletteSource = nullptr;
    std::vector<QString> m_comboLists;
    std::vector<QHash<QString, QString>> m_comboMaps;
    std::vector<int> m_alignments;
    // The longest texts of the own rows, per column.
    mutable std::vector<std::vector<Candidate>> m_candidates;
    mutable std::vector<quint32> m_candidateMin;
    mutable bool m_candidatesDirty = false;
};
