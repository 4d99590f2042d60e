#pragma once

#include <QAbstractItemModel>
#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QList>
#include <QString>
#include <QUtf8StringView>

#include <initializer_list>
#include <vector>

class QWidget;

// The grid's rows as one flat table (row 0 = header captions), shown to QTreeView as a
// two-level outline: outline nodes with the deeper rows right after them as their children.
//
// Sized for lists of a few hundred thousand rows that are refilled often: all cell text lives in
// one UTF-8 arena with per-row cell end offsets, per-row state is a few bytes, and the
// row <-> index mapping is O(1) from a top-level list rebuilt once per reset.
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

    int Rows() const { return int(m_rows.size()); }
    int Cols() const { return m_cols; }
    void SetRows(int n);
    void SetCols(int n);
    void AppendRow(std::initializer_list<QUtf8StringView> cells);
    void AppendRow(const QList<QString> &cells);
    void ClearText();

    QByteArrayView TextUtf8(int r, int c) const;
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

    // The few longest (in UTF-8 bytes) distinct display texts of column c, for fitting its width.
    QList<QString> LongestTexts(int c) const;

    // Sorts the top-level groups (a row and its children) by column c; returns, for every old
    // row number, its new one.
    std::vector<int> SortGroups(int c, bool ascending);

    QModelIndex IndexOfRow(int r, int c = 0) const;
    static int RowOfIndex(const QModelIndex &index);
    int ChildCount(int r) const;
    std::vector<int> NodesWithChildren() const;

    // Storage figures (bytes) for diagnostics and tests.
    qsizetype ArenaBytes() const { return m_arena.size(); }
    qsizetype BytesPerRowBeyondText() const;

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
    struct RowInfo
    {
        quint32 start = 0;   // arena offset of the row's first cell
        quint16 colour = 0;  // index into m_colours; 0 = default
        qint8 level = 0;
        quint8 flags = 0;    // kSubtotal
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

    bool validRow(int r) const { return r >= 0 && r < Rows(); }
    bool validCell(int r, int c) const { return validRow(r) && c >= 0 && c < m_cols; }
    quint32 cellStart(int r, int c) const;
    quint32 rowEnd(int r) const;
    void appendEmptyRow();
    void finishAppendedRow(int r);
    void noteCandidate(int c, quint32 off, quint32 len) const;
    void rebuildCandidates() const;
    void maybeCompact();
    void compact();
    void structureChanged();
    void ensureStructure() const;
    quint16 colourIndex(const Colour &colour);
    void setColourIndex(int r1, int c1, int r2, int c2, quint16 index);
    QColor resolve(quint16 index) const;
    // Makes a structural change its own model reset unless the caller already opened one.
    struct ResetScope
    {
        explicit ResetScope(FlexGridModel *model) : m(model), own(!model->m_inReset)
        {
            if (own)
                m->BeginReset();
        }
        ~ResetScope()
        {
            m->structureChanged();
            if (own)
                m->EndReset();
        }
        ResetScope(const ResetScope &) = delete;
        ResetScope &operator=(const ResetScope &) = delete;
        FlexGridModel *m;
        bool own;
    };
    static quint64 cellKey(int r, int c) { return (quint64(quint32(r)) << 32) | quint32(c); }

    QByteArray m_arena;
    qsizetype m_liveBytes = 0;
    std::vector<RowInfo> m_rows;
    std::vector<quint32> m_ends;          // Rows x Cols absolute end offsets
    int m_cols = 0;
    mutable std::vector<int> m_topRows;   // flat rows of the top-level items
    // Per row: >= 0 its position among the top-level rows; < 0: -(owning node + 1).
    mutable std::vector<qint32> m_links;
    mutable bool m_structDirty = true;
    bool m_inReset = false;
    std::vector<Colour> m_colours;        // [0] = default
    QHash<quint64, quint16> m_cellColours;
    const QWidget *m_paletteSource = nullptr;
    std::vector<QString> m_comboLists;
    std::vector<QHash<QString, QString>> m_comboMaps;
    std::vector<int> m_alignments;
    mutable std::vector<std::vector<Candidate>> m_candidates;
    mutable std::vector<quint32> m_candidateMin;
    mutable bool m_candidatesDirty = false;
};
