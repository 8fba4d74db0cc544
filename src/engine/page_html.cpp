#include "engine/page_html.h"

#include <gumbo.h>

#include <QByteArray>
#include <QRegularExpression>

#include <algorithm>
#include <chrono>
#include <csetjmp>
#include <cstddef>
#include <cstdlib>
#include <ctime>
#include <string_view>
#include <unordered_set>

namespace {

// Gumbo 0.10.1 has no depth limit, and its tree building costs the depth of
// the open elements for every tag: 100000 unclosed <div> take seconds, and
// formatting tags that every paragraph reopens grow a 30 KB page to 1.5 GB.
// A parse past the budgets below is dropped and the page reads as empty;
// real pages stay far below them.
constexpr std::size_t kMemoryFloor = std::size_t(64) << 20;
constexpr std::size_t kMemoryPerInputByte = 32;
constexpr std::chrono::milliseconds kCpuFloor{1000};
constexpr std::chrono::milliseconds kCpuPerInputMiB{500};
// Reading the thread's clock is a system call: not on every allocation.
constexpr unsigned kClockEvery = 1024;

std::chrono::nanoseconds ThreadCpuTime()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

// One parse whose every block this object tracks.  A parse over budget is
// left by a jump out of the allocator: gumbo holds nothing but memory, and
// the blocks still live are freed here.  The tree goes the same way, since
// gumbo_destroy_output recurses once per level of nesting.
class CGumboParse
{
public:
    explicit CGumboParse(const QByteArray &utf8)
        : m_utf8(utf8),
          m_memoryLimit(kMemoryFloor + kMemoryPerInputByte * std::size_t(utf8.size())),
          m_cpuLimit(ThreadCpuTime() + kCpuFloor + kCpuPerInputMiB * (utf8.size() >> 20))
    {
    }
    ~CGumboParse()
    {
        while (m_blocks.next != &m_blocks) {
            Block *block = m_blocks.next;
            Unlink(block);
            std::free(block);
        }
    }
    CGumboParse(const CGumboParse &) = delete;
    CGumboParse &operator=(const CGumboParse &) = delete;

    // The document node, or nullptr when the page broke a budget.
    const GumboNode *Parse()
    {
        GumboOptions options = kGumboDefaultOptions;
        options.allocator = &Allocate;
        options.deallocator = &Release;
        options.userdata = this;
        // Gumbo copies the stack of open elements into every error it keeps.
        options.max_errors = 0;
        if (setjmp(m_abort) != 0)
            return nullptr;
        return gumbo_parse_with_options(&options, m_utf8.constData(), std::size_t(m_utf8.size()))
            ->document;
    }

private:
    // Each block starts with this header; malloc's alignment holds after it.
    struct alignas(std::max_align_t) Block
    {
        Block *prev;
        Block *next;
        std::size_t size;
    };

    void Unlink(Block *block)
    {
        block->prev->next = block->next;
        block->next->prev = block->prev;
    }

    static void *Allocate(void *userdata, std::size_t size)
    {
        auto &self = *static_cast<CGumboParse *>(userdata);
        self.m_live += size;
        if (self.m_live > self.m_memoryLimit)
            std::longjmp(self.m_abort, 1);
        if (++self.m_calls % kClockEvery == 0 && ThreadCpuTime() > self.m_cpuLimit)
            std::longjmp(self.m_abort, 1);
        auto *block = static_cast<Block *>(std::malloc(sizeof(Block) + size));
        if (!block)
            std::longjmp(self.m_abort, 1);
        block->size = size;
        block->prev = &self.m_blocks;
        block->next = self.m_blocks.next;
        self.m_blocks.next->prev = block;
        self.m_blocks.next = block;
        return block + 1;
    }

    static void Release(void *userdata, void *ptr)
    {
        if (!ptr)
            return;
        auto &self = *static_cast<CGumboParse *>(userdata);
        Block *block = static_cast<Block *>(ptr) - 1;
        self.m_live -= block->size;
        self.Unlink(block);
        std::free(block);
    }

    const QByteArray &m_utf8; // the tree points into it
    const std::size_t m_memoryLimit;
    const std::chrono::nanoseconds m_cpuLimit;
    std::size_t m_live = 0;
    unsigned m_calls = 0;
    std::jmp_buf m_abort{};
    Block m_blocks{&m_blocks, &m_blocks, 0}; // the live blocks, a ring
};

std::string_view Attribute(const GumboElement &element, const char *name)
{
    const GumboAttribute *attr = gumbo_get_attribute(&element.attributes, name);
    return attr ? std::string_view(attr->value) : std::string_view();
}

bool HasClass(const GumboElement &element, std::string_view name)
{
    constexpr std::string_view kSpace = " \t\n\f\r";
    const std::string_view list = Attribute(element, "class");
    for (std::size_t pos = list.find_first_not_of(kSpace); pos != std::string_view::npos;) {
        const std::size_t end = std::min(list.find_first_of(kSpace, pos), list.size());
        if (list.substr(pos, end - pos) == name)
            return true;
        pos = list.find_first_not_of(kSpace, end);
    }
    return false;
}

bool IsSku(std::string_view value)
{
    return !value.empty()
           && std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; });
}

QString FromUtf8(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

const GumboVector *Children(const GumboNode &node)
{
    switch (node.type) {
    case GUMBO_NODE_DOCUMENT:
        return &node.v.document.children;
    case GUMBO_NODE_ELEMENT:
    case GUMBO_NODE_TEMPLATE:
        return &node.v.element.children;
    default:
        return nullptr;
    }
}

// What the ancestors of a node make of it.
struct ST_SCOPE
{
    bool bTitle = false;     // text goes to the title
    bool bDocTitle = false;  // text goes to the document's <title>
    bool bSpecList = false;  // inside the first #spec-list
    bool bSpecItems = false; // inside the first .spec-items
    bool bRow = false;       // inside a choose-attr- row
    bool bItem = false;      // inside a choice: no choice within it
    int nItemText = -1;      // the choice whose name is its text
};

struct ST_VISIT
{
    const GumboNode *node;
    ST_SCOPE scope;
};

// One walk over the tree in document order, with a stack of its own: a page
// may nest deeper than the thread's stack would allow for recursion.
class CPageWalk
{
public:
    ST_HTMLPAGE Read(const GumboNode &document)
    {
        std::vector<ST_VISIT> stack{{&document, {}}};
        while (!stack.empty()) {
            const ST_VISIT visit = stack.back();
            stack.pop_back();
            ST_SCOPE inner = visit.scope;
            if (visit.node->type == GUMBO_NODE_ELEMENT)
                Element(visit.node->v.element, inner);
            else
                Text(*visit.node, visit.scope);
            if (const GumboVector *children = Children(*visit.node)) {
                for (unsigned i = children->length; i-- > 0;)
                    stack.push_back({static_cast<const GumboNode *>(children->data[i]), inner});
            }
        }
        return Result();
    }

private:
    void Element(const GumboElement &element, ST_SCOPE &inner)
    {
        const std::string_view id = Attribute(element, "id");
        if (!m_bTitle && HasClass(element, "sku-name"))
            m_bTitle = inner.bTitle = true;
        if (!m_bDocTitle && element.tag == GUMBO_TAG_TITLE)
            m_bDocTitle = inner.bDocTitle = true;
        if (!m_bSpecList && id == "spec-list")
            m_bSpecList = inner.bSpecList = true;
        if (!m_bSpecItems && HasClass(element, "spec-items"))
            m_bSpecItems = inner.bSpecItems = true;
        if (element.tag == GUMBO_TAG_IMG)
            Thumb(element, inner);
        if (element.tag == GUMBO_TAG_SCRIPT && m_script.isEmpty())
            Script(element);
        if (element.tag == GUMBO_TAG_SCRIPT || element.tag == GUMBO_TAG_STYLE) {
            inner.bTitle = false;
            inner.nItemText = -1;
        }
        if (inner.bRow && !inner.bItem)
            Choice(element, inner);
        if (id.starts_with("choose-attr-"))
            inner.bRow = true;
    }

    void Thumb(const GumboElement &element, const ST_SCOPE &scope)
    {
        if (!scope.bSpecList && !scope.bSpecItems)
            return;
        QString url = FromUtf8(Attribute(element, "src")).trimmed();
        if (url.isEmpty())
            url = FromUtf8(Attribute(element, "data-url")).trimmed();
        (scope.bSpecList ? m_listThumbs : m_itemThumbs).append(url);
    }

    void Script(const GumboElement &element)
    {
        QByteArray text;
        for (unsigned i = 0; i < element.children.length; ++i) {
            const auto *child = static_cast<const GumboNode *>(element.children.data[i]);
            if (child->type == GUMBO_NODE_TEXT || child->type == GUMBO_NODE_WHITESPACE)
                text.append(child->v.text.text);
        }
        if (text.contains("pageConfig"))
            m_script = QString::fromUtf8(text);
    }

    void Choice(const GumboElement &element, ST_SCOPE &inner)
    {
        const std::string_view sku = Attribute(element, "data-sku");
        if (!IsSku(sku))
            return;
        inner.bItem = true;
        if (!m_skus.insert(sku).second)
            return;
        m_page.arrChoices.push_back({QString::fromLatin1(sku.data(), qsizetype(sku.size())),
                                     FromUtf8(Attribute(element, "data-value")).simplified()});
        if (m_page.arrChoices.back().strName.isEmpty()) {
            inner.nItemText = int(m_page.arrChoices.size()) - 1;
            m_itemTexts.resize(m_page.arrChoices.size());
        }
    }

    void Text(const GumboNode &node, const ST_SCOPE &scope)
    {
        if (node.type != GUMBO_NODE_TEXT && node.type != GUMBO_NODE_WHITESPACE
            && node.type != GUMBO_NODE_CDATA)
            return;
        if (scope.bTitle)
            m_title.append(node.v.text.text);
        if (scope.bDocTitle)
            m_docTitle.append(node.v.text.text);
        if (scope.nItemText >= 0)
            m_itemTexts[std::size_t(scope.nItemText)].append(node.v.text.text);
    }

    ST_HTMLPAGE Result()
    {
        m_page.strTitle = QString::fromUtf8(m_title).simplified();
        m_page.strDocTitle = QString::fromUtf8(m_docTitle).simplified();
        m_page.arrThumbs = m_bSpecList ? m_listThumbs : m_itemThumbs;
        for (std::size_t i = 0; i < m_itemTexts.size(); ++i) {
            if (m_page.arrChoices[i].strName.isEmpty())
                m_page.arrChoices[i].strName = QString::fromUtf8(m_itemTexts[i]).simplified();
        }
        m_page.strConfigScript = m_script;
        return m_page;
    }

    ST_HTMLPAGE m_page;
    bool m_bTitle = false, m_bDocTitle = false, m_bSpecList = false, m_bSpecItems = false;
    QByteArray m_title, m_docTitle;
    QStringList m_listThumbs, m_itemThumbs;
    std::unordered_set<std::string_view> m_skus; // into the tree's attributes
    std::vector<QByteArray> m_itemTexts;         // by choice; empty where data-value names it
    QString m_script;
};

} // namespace

namespace {

// Picture addresses of background declarations in CSS text (a style
// attribute or a <style> element), in order.
void AppendCssPictures(const QString &css, QStringList &out)
{
    static const QRegularExpression background(
        QStringLiteral(R"re(background(?:-image)?\s*:[^;{}]*?url\(\s*["']?([^"')\s]+))re"),
        QRegularExpression::CaseInsensitiveOption);
    for (auto it = background.globalMatch(css); it.hasNext();)
        out.append(it.next().captured(1));
}

QStringList PictureRefs(const GumboNode &document)
{
    QStringList refs;
    std::vector<const GumboNode *> stack{&document};
    while (!stack.empty()) {
        const GumboNode *node = stack.back();
        stack.pop_back();
        if (node->type == GUMBO_NODE_ELEMENT) {
            const GumboElement &element = node->v.element;
            QString ref = FromUtf8(Attribute(element, "data-lazyload")).trimmed();
            if (ref.isEmpty() && element.tag == GUMBO_TAG_IMG)
                ref = FromUtf8(Attribute(element, "src")).trimmed();
            if (!ref.isEmpty())
                refs.append(ref);
            AppendCssPictures(FromUtf8(Attribute(element, "style")), refs);
            if (element.tag == GUMBO_TAG_STYLE) {
                for (unsigned i = 0; i < element.children.length; ++i) {
                    const auto *child = static_cast<const GumboNode *>(element.children.data[i]);
                    if (child->type == GUMBO_NODE_TEXT || child->type == GUMBO_NODE_WHITESPACE)
                        AppendCssPictures(QString::fromUtf8(child->v.text.text), refs);
                }
            }
        }
        if (const GumboVector *children = Children(*node)) {
            for (unsigned i = children->length; i-- > 0;)
                stack.push_back(static_cast<const GumboNode *>(children->data[i]));
        }
    }
    return refs;
}

} // namespace

QStringList ReadHtmlPictureRefs(const QString &html)
{
    const QByteArray utf8 = html.toUtf8();
    CGumboParse parse(utf8);
    const GumboNode *document = parse.Parse();
    return document ? PictureRefs(*document) : QStringList();
}

ST_HTMLPAGE ReadHtmlPage(const QString &html)
{
    const QByteArray utf8 = html.toUtf8();
    CGumboParse parse(utf8);
    const GumboNode *document = parse.Parse();
    return document ? CPageWalk().Read(*document) : ST_HTMLPAGE{};
}
