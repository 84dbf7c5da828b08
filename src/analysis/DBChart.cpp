#include "analysis/DBChart.h"

#include "analysis/PieSeries.h"
#include "dataset/DataSet.h"
#include "dataset/Formats.h"

#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QScopeGuard>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace {

constexpr int MarkCandidates = 60;       // the largest slices compete for room for a mark
constexpr double SeparatorMinSpan = 1.5; // degrees: a thinner slice gets no white edge

// Point on the circle at an angle in degrees from the top, anticlockwise on the screen.
QPointF onCircle(QPointF c, double r, double angle)
{
    const double a = angle * std::numbers::pi / 180.0;
    return {c.x() - r * std::sin(a), c.y() - r * std::cos(a)};
}

// The colours of the drawn slices integrated over the angle and tabulated finely, so that
// the mean colour over any arc is two look-ups, however many slices there are.
class ColourRamp {
public:
    static constexpr int Steps = 64;  // table points per degree, far finer than a pixel

    explicit ColourRamp(const PieSeries &s)
    {
        QList<double> start, end;
        QList<std::array<double, 3>> colour, before;
        std::array<double, 3> sum{};
        for (const PieSlice &sl : s.slices()) {
            if (!sl.drawn)
                continue;
            start.append(sl.start);
            end.append(sl.start + sl.span);
            colour.append({double(sl.colour.red()), double(sl.colour.green()), double(sl.colour.blue())});
            before.append(sum);
            for (int c = 0; c < 3; ++c)
                sum[c] += colour.last()[c] * sl.span;
        }
        end.last() = 360.0;  // rounding never leaves a gap at the end of the circle
        table_.resize(360 * Steps + 1);
        span_.resize(360 * Steps + 1);
        for (int i = 0; i <= 360 * Steps; ++i) {
            const double angle = double(i) / Steps;
            const qsizetype k =
                std::min<qsizetype>(std::upper_bound(end.begin(), end.end(), angle) - end.begin(), end.size() - 1);
            const double into = std::clamp(angle - start[k], 0.0, end[k] - start[k]);
            for (int c = 0; c < 3; ++c)
                table_[i][c] = float(before[k][c] + colour[k][c] * into);
            span_[i] = float(end[k] - start[k]);
        }
    }

    // Colour of a pixel at an angle whose width of arc is pixelWidth degrees. Where the
    // slices are thinner than the pixel the mean is taken over a whole round of the colours
    // (up to four pixels wide), so that many thin slices show as an even tone and not as
    // stray patterns of the colours that happen to meet in one pixel.
    QRgb pixel(double angle, double pixelWidth) const
    {
        double w = pixelWidth;
        const double local = span_[std::clamp(int(angle * Steps), 0, 360 * Steps)];
        if (local < pixelWidth)
            w = std::min(std::max(pixelWidth, local * PieSeries::ColourCount), 4 * pixelWidth);
        w = std::min(w, 360.0);
        return mean(angle - w / 2, angle + w / 2);
    }

private:
    // Mean colour over [a, b] degrees, b - a at most 360; either end may lie past 0 or 360.
    QRgb mean(double a, double b) const
    {
        std::array<float, 3> v{};
        const double w = b - a;
        if (a < 0) {
            add(v, a + 360.0, 360.0);
            add(v, 0, b);
        } else if (b > 360.0) {
            add(v, a, 360.0);
            add(v, 0, b - 360.0);
        } else {
            add(v, a, b);
        }
        auto channel = [w](float x) { return std::clamp(int(std::lround(x / w)), 0, 255); };
        return qRgb(channel(v[0]), channel(v[1]), channel(v[2]));
    }

    // Integral of the colour from 0 to the angle.
    std::array<float, 3> upTo(double angle) const
    {
        const double at = std::clamp(angle, 0.0, 360.0) * Steps;
        const int i = std::min(int(at), 360 * Steps - 1);
        const float t = float(at - i);
        std::array<float, 3> v;
        for (int c = 0; c < 3; ++c)
            v[c] = table_[i][c] + (table_[i + 1][c] - table_[i][c]) * t;
        return v;
    }
    void add(std::array<float, 3> &v, double a, double b) const
    {
        const auto hi = upTo(b), lo = upTo(a);
        for (int c = 0; c < 3; ++c)
            v[c] += hi[c] - lo[c];
    }

    QList<std::array<float, 3>> table_;
    QList<float> span_;  // span of the slice at each table point
};

// Legend entry: colour square, label, value on the right; slices left out of the pie grey.
class LegendDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem o = option;
        initStyleOption(&o, index);
        p->save();
        if (o.state & QStyle::State_Selected)
            p->fillRect(o.rect, o.palette.highlight());
        const bool drawn = index.data(PieSeries::DrawnRole).toBool();
        const QRect r = o.rect.adjusted(4, 0, -4, 0);
        const int box = std::min(12, r.height() - 4);
        const QRect swatch(r.left(), r.center().y() - box / 2, box, box);
        p->setPen(drawn ? Qt::NoPen : QPen(Qt::gray));
        p->setBrush(drawn ? index.data(Qt::DecorationRole).value<QColor>() : QColor(Qt::white));
        p->drawRect(swatch);
        const QString value = index.data(PieSeries::ValueTextRole).toString();
        const QFontMetrics fm(o.font);
        const int valueWidth = fm.horizontalAdvance(value);
        QRect text = r.adjusted(box + 6, 0, 0, 0);
        p->setPen(drawn ? o.palette.color(QPalette::Text) : QColor(Qt::darkGray));
        p->drawText(text, Qt::AlignRight | Qt::AlignVCenter, value);
        text.setRight(text.right() - valueWidth - 8);
        p->drawText(text, Qt::AlignLeft | Qt::AlignVCenter, fm.elidedText(index.data().toString(), Qt::ElideRight, text.width()));
        p->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const override
    {
        return {200, QFontMetrics(option.font).height() + 6};
    }
};

} // namespace

// The pie with its marks. The slices are painted into an image once per data and size.
class PieView : public QWidget {
public:
    explicit PieView(DBChart *chart) : QWidget(chart), chart_(chart)
    {
        setObjectName(QStringLiteral("PieView"));
        setMinimumSize(240, 200);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    void invalidate()
    {
        cache_ = QImage();
        marks_.clear();
        update();
    }

    struct Geometry {
        QPointF centre;
        double radius = 0;
        double labelSpace = 0;
    };
    Geometry geometry() const
    {
        Geometry g;
        const QFontMetrics fm(font());
        g.labelSpace = std::clamp(width() * 0.22, 60.0, 230.0);
        const double vertical = (height() - 2.0 * (fm.height() + 8)) / 2.0;
        const double horizontal = (width() - 2.0 * g.labelSpace) / 2.0;
        g.radius = std::floor(std::min(vertical, horizontal));
        g.centre = QPointF(width() / 2.0, height() / 2.0);
        return g;
    }

    const QList<DBChart::Mark> &marks()
    {
        ensureRendered();
        return marks_;
    }

protected:
    void resizeEvent(QResizeEvent *) override { invalidate(); }

    void paintEvent(QPaintEvent *) override
    {
        ensureRendered();
        QPainter p(this);
        p.drawImage(0, 0, cache_);
    }

private:
    void ensureRendered()
    {
        if (!cache_.isNull() && cache_.deviceIndependentSize() == QSizeF(size()))
            return;
        const qreal dpr = devicePixelRatioF();
        cache_ = QImage(size() * dpr, QImage::Format_ARGB32_Premultiplied);
        cache_.setDevicePixelRatio(dpr);
        cache_.fill(palette().color(QPalette::Base));
        marks_.clear();
        const Geometry g = geometry();
        if (g.radius < 10)
            return;
        paintSlices(g);
        placeMarks(g);
        paintMarks(g);
    }

    // Each pixel takes the mean colour of the slices across its own width of arc: a slice
    // thinner than a pixel shows as its share of the pixel, edges are smooth, and the cost
    // depends on the size of the pie, not on the number of slices.
    void paintSlices(const Geometry &g)
    {
        const PieSeries &s = *chart_->series_;
        if (s.drawnCount() == 0) {
            QPainter p(&cache_);
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(QPen(Qt::lightGray, 1, Qt::DashLine));
            p.drawEllipse(g.centre, g.radius, g.radius);
            return;
        }
        const ColourRamp ramp(s);
        // In device pixels, so that a high-resolution screen gets a sharp pie.
        const double dpr = cache_.devicePixelRatio();
        const QPointF c = g.centre * dpr;
        const double r = g.radius * dpr, r2 = r * r;
        const int top = std::max(0, int(c.y() - r) - 1), bottom = std::min(cache_.height() - 1, int(c.y() + r) + 1);
        for (int y = top; y <= bottom; ++y) {
            const double dy = y + 0.5 - c.y();
            if (dy * dy > r2)
                continue;
            const double half = std::sqrt(r2 - dy * dy);
            const int x0 = std::max(0, int(std::floor(c.x() - half)));
            const int x1 = std::min(cache_.width() - 1, int(std::ceil(c.x() + half)));
            auto *line = reinterpret_cast<QRgb *>(cache_.scanLine(y));
            for (int x = x0; x <= x1; ++x) {
                const double dx = x + 0.5 - c.x();
                const double d2 = dx * dx + dy * dy;
                if (d2 > r2)
                    continue;
                double a = std::atan2(-dx, -dy) * 180.0 / std::numbers::pi;
                if (a < 0)
                    a += 360.0;
                line[x] = ramp.pixel(a, 180.0 / std::numbers::pi / std::max(0.5, std::sqrt(d2)));
            }
        }
        // Smooth edges on top: the rim, and a white edge where one visible slice meets the next.
        QPainter p(&cache_);
        p.setRenderHint(QPainter::Antialiasing);
        if (s.drawnCount() > 1) {
            p.setPen(QPen(Qt::white, 1.2));
            for (const PieSlice &sl : s.slices())
                if (sl.drawn && sl.span >= SeparatorMinSpan) {
                    p.drawLine(g.centre, onCircle(g.centre, g.radius, sl.start));
                    p.drawLine(g.centre, onCircle(g.centre, g.radius, sl.start + sl.span));
                }
        }
        p.setPen(QPen(QColor(90, 90, 90), 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(g.centre, g.radius, g.radius);
    }

    // The largest slices, however thin, compete for marks. A mark goes to the side its
    // slice faces; on each side the marks keep the order of their slices from top to bottom
    // (leader lines never cross) and move at most a few lines away from their slice; the
    // smallest slice gives way until that holds. The legend lists every slice anyway.
    void placeMarks(const Geometry &g)
    {
        const PieSeries &s = *chart_->series_;
        QList<int> order;
        for (int i = 0; i < s.count(); ++i) {
            const PieSlice &sl = s.slices().at(i);
            if (sl.drawn && !sl.label.isEmpty())
                order.append(i);
        }
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return s.slices().at(a).value > s.slices().at(b).value; });
        if (order.size() > MarkCandidates)
            order.resize(MarkCandidates);
        const QFontMetrics fm(font());
        const int lineHeight = fm.height() + 6;
        const double ring = g.radius * 1.08;
        struct Candidate {
            int slice;
            int rank;       // 0 for the largest slice
            double ideal;   // top of the mark level with its elbow
            double top = 0;
        };
        QList<Candidate> sides[2];  // left, right
        for (int rank = 0; rank < order.size(); ++rank) {
            const PieSlice &sl = s.slices().at(order[rank]);
            const QPointF elbow = onCircle(g.centre, ring, sl.start + sl.span / 2);
            sides[elbow.x() < g.centre.x() ? 0 : 1].append({order[rank], rank, elbow.y() - lineHeight / 2.0});
        }
        const double maxShift = 3.0 * lineHeight, bottom = height() - lineHeight - 1.0;
        for (int side = 0; side < 2; ++side) {
            QList<Candidate> &c = sides[side];
            const int capacity = std::max(0, int((bottom + 1) / lineHeight));
            std::stable_sort(c.begin(), c.end(), [](const Candidate &a, const Candidate &b) { return a.rank < b.rank; });
            if (c.size() > capacity)
                c.resize(capacity);
            std::stable_sort(c.begin(), c.end(), [](const Candidate &a, const Candidate &b) { return a.ideal < b.ideal; });
            while (!c.isEmpty()) {
                // Down from the top as little as the marks above require, then up from the
                // bottom edge where the column ran out of room.
                double next = 0;
                for (Candidate &m : c) {
                    m.top = std::max(m.ideal, next);
                    next = m.top + lineHeight;
                }
                double limit = bottom;
                for (qsizetype k = c.size() - 1; k >= 0; --k) {
                    c[k].top = std::min(c[k].top, limit);
                    limit = c[k].top - lineHeight;
                }
                const bool fits = c.first().top >= 0 && std::all_of(c.begin(), c.end(), [&](const Candidate &m) {
                                      return std::abs(m.top - m.ideal) <= maxShift;
                                  });
                if (fits)
                    break;
                c.erase(std::max_element(c.begin(), c.end(),
                                         [](const Candidate &a, const Candidate &b) { return a.rank < b.rank; }));
            }
            const int room = side == 0 ? int(g.centre.x() - ring - 14) - 4 : width() - int(g.centre.x() + ring + 14) - 4;
            if (room < fm.horizontalAdvance(QStringLiteral("…")) + 12)
                continue;
            for (const Candidate &m : c) {
                const PieSlice &sl = s.slices().at(m.slice);
                const QString text = fm.elidedText(sl.label, Qt::ElideRight, room - 8);
                const int w = fm.horizontalAdvance(text) + 8;
                const int x = side == 0 ? int(g.centre.x() - ring - 14) - w : int(g.centre.x() + ring + 14);
                marks_.append({m.slice, text, QRect(x, int(std::lround(m.top)), w, lineHeight - 2),
                               onCircle(g.centre, g.radius, sl.start + sl.span / 2).toPoint()});
            }
        }
    }

    void paintMarks(const Geometry &g)
    {
        QPainter p(&cache_);
        p.setRenderHint(QPainter::Antialiasing);
        p.setFont(font());
        for (const DBChart::Mark &m : marks_) {
            const PieSlice &sl = chart_->series_->slices().at(m.slice);
            const QPointF elbow = onCircle(g.centre, g.radius * 1.08, sl.start + sl.span / 2);
            const QPointF end(m.rect.center().x() < g.centre.x() ? m.rect.right() + 1 : m.rect.left(), m.rect.center().y());
            p.setPen(QPen(QColor(70, 70, 70), 1));
            p.drawLine(QPointF(m.anchor), elbow);
            p.drawLine(elbow, end);
            p.setBrush(QColor(70, 70, 70));
            p.drawEllipse(QPointF(m.anchor), 2.0, 2.0);
            p.setBrush(QColor(255, 255, 225));
            p.drawRect(QRectF(m.rect).adjusted(0.5, 0.5, -0.5, -0.5));
            p.setPen(Qt::black);
            p.drawText(m.rect, Qt::AlignCenter, m.text);
        }
    }

    DBChart *chart_;
    QImage cache_;
    QList<DBChart::Mark> marks_;
};

DBChart::DBChart(QWidget *parent) : QWidget(parent), series_(new PieSeries(this))
{
    series_->setObjectName(QStringLiteral("Series1"));
    titleLabel_ = new QLabel(this);
    titleLabel_->setObjectName(QStringLiteral("Title"));
    titleLabel_->setAlignment(Qt::AlignCenter);
    QFont tf = titleLabel_->font();
    tf.setPointSizeF(tf.pointSizeF() * 1.4);
    tf.setBold(true);
    titleLabel_->setFont(tf);
    pie_ = new PieView(this);
    legend_ = new QListView(this);
    legend_->setObjectName(QStringLiteral("Legend"));
    legend_->setModel(series_);
    legend_->setItemDelegate(new LegendDelegate(legend_));
    legend_->setUniformItemSizes(true);
    legend_->setSelectionMode(QAbstractItemView::SingleSelection);
    legend_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    legend_->setFixedWidth(280);
    note_ = new QLabel(this);
    note_->setObjectName(QStringLiteral("LegendNote"));
    note_->setWordWrap(true);
    note_->setFixedWidth(280);
    note_->hide();

    auto *side = new QVBoxLayout;
    side->addWidget(legend_, 1);
    side->addWidget(note_);
    auto *body = new QHBoxLayout;
    body->addWidget(pie_, 1);
    body->addLayout(side);
    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(4, 4, 4, 4);
    v->addWidget(titleLabel_);
    v->addLayout(body, 1);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Base));
    setPalette(pal);
}

DBChart::~DBChart() = default;

void DBChart::setTitle(const QString &title)
{
    titleLabel_->setText(title);
}

QString DBChart::title() const
{
    return titleLabel_->text();
}

void DBChart::setDataSet(DataSet *ds, const QString &labelColumn, const QString &valueColumn)
{
    if (ds_)
        disconnect(ds_, nullptr, this, nullptr);
    ds_ = ds;
    labelColumn_ = labelColumn;
    valueColumn_ = valueColumn;
    if (ds_)
        connect(ds_, &DataSet::rowsReset, this, [this] {
            if (!reloading_)
                reload();
        });
    reload();
}

void DBChart::reload()
{
    QList<QPair<QString, Money>> rows;
    if (ds_ && ds_->isActive()) {
        reloading_ = true;
        const auto done = qScopeGuard([this] { reloading_ = false; });
        {
            // A first read here sends the data set's news once, to this chart among others,
            // which has the rows already.
            DataSet::NotifyScope scope(*ds_);
            auto column = [this](const QString &c) {
                return c.startsWith(u'#') ? c.mid(1).toInt() : ds_->fieldIndex(c);
            };
            const int label = column(labelColumn_), value = column(valueColumn_);
            const int n = ds_->recordCount();
            if (label >= 0 && value >= 0 && label < ds_->fieldCount() && value < ds_->fieldCount()) {
                rows.reserve(n);
                for (int r = 0; r < n; ++r)
                    rows.append({ds_->rowValue(r, label).toString(), fmt::toMoney(ds_->rowValue(r, value))});
            }
        }
    }
    series_->setSlices(rows);
    const int undrawn = series_->undrawnCount();
    note_->setText(QStringLiteral("灰色的%1项为0或负数，只列在图例中，未画入饼图").arg(undrawn));
    note_->setVisible(undrawn > 0);
    pie_->invalidate();
}

QList<DBChart::Mark> DBChart::marks() const
{
    QList<Mark> out = pie_->marks();
    for (Mark &m : out) {
        m.rect.translate(pie_->pos());
        m.anchor += pie_->pos();
    }
    return out;
}

QRect DBChart::pieRect() const
{
    const PieView::Geometry g = pie_->geometry();
    if (g.radius < 10)
        return {};
    return QRectF(g.centre.x() - g.radius, g.centre.y() - g.radius, 2 * g.radius, 2 * g.radius)
        .toRect()
        .translated(pie_->pos());
}
