#include "engine/page_config.h"

#include "engine/script_heap.h"

#include <QByteArray>
#include <QChar>
#include <QLocale>

#include <cmath>
#include <string_view>

namespace {

QString TooLarge() { return QStringLiteral("商品配置脚本过大"); }
QString TimedOut() { return QStringLiteral("商品配置脚本运行超时"); }
QString Threw() { return QStringLiteral("商品配置脚本运行出错"); }
QString NotStarted() { return QStringLiteral("商品配置脚本无法运行"); }

// What the reading may copy out of the heap, which holds up to 64 MiB and
// can name one huge string a million times.  Each value also costs a little
// for the list entry that holds it.
constexpr std::size_t kReadBudget = std::size_t{4} << 20;
constexpr std::size_t kValueCost = 32;

// Everything below runs inside CScriptHeap::Run, so no object with a
// destructor lives across a call into Duktape that may throw.  Reads that
// may run script (getters, proxies, valueOf) or allocate are protected
// calls, each on its own: a getter that throws costs only its own value.
struct SReading
{
    CScriptHeap &heap;
    ST_PAGECONFIG &config;
    duk_context *ctx = heap.Context();
    std::size_t budget = kReadBudget;
    bool spent = false; // the budget ran out: reading stops
    // ReadColorSize's entry in progress, kept here rather than in its frame.
    QString sku;
    QStringList values;

    bool Charge(std::size_t bytes)
    {
        if (spent || bytes + kValueCost > budget) {
            spent = true;
            return false;
        }
        budget -= bytes + kValueCost;
        return true;
    }
    bool Stop() { return spent || heap.PollDeadline(); }
};

// Calls `op` on the top `nargs` values and leaves `nrets` values in their
// place: its results, or undefined when it threw.  `op` shares the caller's
// frame of the value stack: its arguments are the top values, not 0, 1 ….
void Protected(duk_context *ctx, duk_safe_call_function op, void *udata, duk_idx_t nargs, duk_idx_t nrets)
{
    if (duk_safe_call(ctx, op, udata, nargs, nrets) == DUK_EXEC_SUCCESS)
        return;
    duk_pop_n(ctx, nrets);
    for (duk_idx_t i = 0; i < nrets; ++i)
        duk_push_undefined(ctx);
}

// [object] -> [object[key]]
duk_ret_t GetNamed(duk_context *ctx, void *key)
{
    duk_get_prop_string(ctx, -1, *static_cast<const char **>(key));
    return 1;
}

// [object] -> [object[index]]
duk_ret_t GetIndexed(duk_context *ctx, void *index)
{
    duk_get_prop_index(ctx, -1, *static_cast<duk_uarridx_t *>(index));
    return 1;
}

// [object] -> [ToUint32(object.length)]
duk_ret_t GetLength(duk_context *ctx, void *)
{
    duk_get_prop_string(ctx, -1, "length");
    duk_to_uint32(ctx, -1);
    return 1;
}

// [object] -> [enumerator of its own enumerable string keys, in ES2015 order]
duk_ret_t EnumerateOwn(duk_context *ctx, void *)
{
    duk_enum(ctx, -1, DUK_ENUM_OWN_PROPERTIES_ONLY);
    return 1;
}

// [enumerator] -> [key, value], undefined twice once all were given
duk_ret_t NextEntry(duk_context *ctx, void *)
{
    if (!duk_next(ctx, -1, 1)) {
        duk_push_undefined(ctx);
        duk_push_undefined(ctx);
    }
    return 2;
}

void PushNamed(duk_context *ctx, duk_idx_t object, const char *key)
{
    duk_dup(ctx, object);
    Protected(ctx, GetNamed, &key, 1, 1);
}

void PushIndexed(duk_context *ctx, duk_idx_t object, duk_uarridx_t index)
{
    duk_dup(ctx, object);
    Protected(ctx, GetIndexed, &index, 1, 1);
}

// Pushes the next key and value; false, pushing nothing, once all were given.
bool PushNextEntry(duk_context *ctx, duk_idx_t keys)
{
    duk_dup(ctx, keys);
    Protected(ctx, NextEntry, nullptr, 1, 2);
    if (!duk_is_undefined(ctx, -2))
        return true;
    duk_pop_2(ctx);
    return false;
}

duk_uint32_t LengthOf(duk_context *ctx, duk_idx_t object)
{
    duk_dup(ctx, object);
    Protected(ctx, GetLength, nullptr, 1, 1);
    const duk_uint32_t length = duk_get_uint(ctx, -1);
    duk_pop(ctx);
    return length;
}

bool IsObject(duk_context *ctx, duk_idx_t idx) { return duk_is_object(ctx, idx) && !duk_is_error(ctx, idx); }

bool IsText(duk_context *ctx, duk_idx_t idx) { return duk_is_string(ctx, idx) && !duk_is_symbol(ctx, idx); }

bool IsKey(duk_context *ctx, duk_idx_t idx, std::string_view key)
{
    duk_size_t bytes = 0;
    const char *const text = duk_get_lstring(ctx, idx, &bytes);
    return text && std::string_view(text, bytes) == key;
}

// Duktape hands out code points; those beyond the BMP become surrogate pairs.
void AppendCodePoint(void *text, duk_codepoint_t cp)
{
    QString &out = *static_cast<QString *>(text);
    if (cp < 0 || cp > 0x10FFFF)
        out.append(QChar(QChar::ReplacementCharacter));
    else if (const auto ucs4 = char32_t(cp); QChar::requiresSurrogates(ucs4))
        out.append(QChar(QChar::highSurrogate(ucs4))).append(QChar(QChar::lowSurrogate(ucs4)));
    else
        out.append(QChar(char16_t(cp)));
}

// Numbers in full decimal: ids like 100012043978 would otherwise come out as 1.00012e+11.
QString TextOf(SReading &read, duk_idx_t idx, bool numbers)
{
    if (IsText(read.ctx, idx)) {
        duk_size_t bytes = 0;
        duk_get_lstring(read.ctx, idx, &bytes);
        if (!read.Charge(bytes))
            return {};
        QString text;
        // Decoding a string the stack holds cannot throw.
        duk_decode_string(read.ctx, idx, AppendCodePoint, &text);
        return text;
    }
    if (numbers && duk_is_number(read.ctx, idx)) {
        const double value = duk_get_number(read.ctx, idx);
        if (std::isfinite(value))
            return QString::number(value, 'f', QLocale::FloatingPointShortest);
    }
    return {};
}

QString NamedText(SReading &read, duk_idx_t object, const char *key, bool numbers)
{
    PushNamed(read.ctx, object, key);
    QString text = TextOf(read, -1, numbers);
    duk_pop(read.ctx);
    return text;
}

// Reading an array is our loop, not script the engine could interrupt, and a
// script can make one of four billion holes cheaply: the deadline bounds it.
template <class Visit>
void ForEachElement(SReading &read, duk_idx_t list, Visit visit)
{
    if (!duk_is_array(read.ctx, list))
        return;
    const duk_uint32_t length = LengthOf(read.ctx, list);
    for (duk_uint32_t i = 0; i < length && !read.Stop(); ++i) {
        PushIndexed(read.ctx, list, i);
        visit(duk_get_top_index(read.ctx));
        duk_pop(read.ctx);
    }
}

void ReadColorSize(SReading &read, duk_idx_t entry)
{
    duk_context *const ctx = read.ctx;
    if (!duk_is_object(ctx, entry) || duk_is_array(ctx, entry))
        return;
    read.sku.clear();
    read.values.clear();
    duk_dup(ctx, entry);
    Protected(ctx, EnumerateOwn, nullptr, 1, 1);
    const duk_idx_t keys = duk_get_top_index(ctx);
    const bool listed = duk_is_object(ctx, keys); // undefined when listing the keys threw
    while (listed && !read.Stop() && PushNextEntry(ctx, keys)) {
        if (IsKey(ctx, -2, "skuId"))
            read.sku = TextOf(read, -1, true);
        else if (QString text = TextOf(read, -1, true); !text.isEmpty())
            read.values << text;
        duk_pop_2(ctx);
    }
    duk_pop(ctx);
    if (!read.sku.isEmpty())
        read.config.arrColorSize.emplace_back(read.sku, read.values.join(u' '));
}

void ReadProduct(SReading &read, duk_idx_t product)
{
    ST_PAGECONFIG &config = read.config;
    config.bFound = true;
    config.strName = NamedText(read, product, "name", false);
    config.strDesc = NamedText(read, product, "desc", false);
    config.strSkuId = NamedText(read, product, "skuid", true);
    config.strMainVideoId = NamedText(read, product, "mainVideoId", true);

    PushNamed(read.ctx, product, "imageList");
    ForEachElement(read, duk_get_top_index(read.ctx), [&read](duk_idx_t image) {
        if (!IsText(read.ctx, image))
            return;
        if (QString text = TextOf(read, image, false); !read.spent)
            read.config.arrImages << text;
    });
    duk_pop(read.ctx);

    PushNamed(read.ctx, product, "colorSize");
    ForEachElement(read, duk_get_top_index(read.ctx), [&read](duk_idx_t entry) { ReadColorSize(read, entry); });
    duk_pop(read.ctx);
}

void ReadConfig(SReading &read)
{
    duk_context *const ctx = read.ctx;
    const duk_idx_t base = duk_get_top(ctx);
    duk_push_global_object(ctx);
    PushNamed(ctx, base, "pageConfig");
    if (IsObject(ctx, base + 1)) {
        PushNamed(ctx, base + 1, "product");
        if (IsObject(ctx, base + 2))
            ReadProduct(read, base + 2);
    }
    duk_set_top(ctx, base);
}

// What page scripts around pageConfig touch, as plain values, so that
// `window.pageConfig = …` works and `location.href` reads do not throw.
// Duktape's own object (finalizers, coroutines, error hooks) is of no use to
// a page: it goes.
duk_ret_t AddStandIns(duk_context *ctx, void *)
{
    duk_push_global_object(ctx);
    const duk_idx_t global = duk_get_top_index(ctx);
    duk_del_prop_string(ctx, global, "Duktape");
    duk_push_global_object(ctx);
    duk_put_prop_string(ctx, global, "window");
    duk_push_object(ctx);
    duk_put_prop_string(ctx, global, "document");
    duk_push_object(ctx);
    duk_push_string(ctx, "");
    duk_put_prop_string(ctx, -2, "href");
    duk_put_prop_string(ctx, global, "location");
    duk_push_object(ctx);
    duk_push_string(ctx, "");
    duk_put_prop_string(ctx, -2, "userAgent");
    duk_put_prop_string(ctx, global, "navigator");
    duk_pop(ctx);
    return 0;
}

// False when the script did not compile or threw.
bool RunScript(duk_context *ctx, const QByteArray &source)
{
    Protected(ctx, AddStandIns, nullptr, 0, 0);
    // Either call leaves one value: the script's result or its error.
    const bool ran = duk_pcompile_lstring(ctx, 0, source.constData(), duk_size_t(source.size())) == 0 &&
                     duk_pcall(ctx, 0) == DUK_EXEC_SUCCESS;
    duk_pop(ctx);
    return ran;
}

ST_PAGECONFIG Failure(const QString &why)
{
    ST_PAGECONFIG config;
    config.strFailure = why;
    return config;
}

} // namespace

ST_PAGECONFIG ReadPageConfig(const QString &script, std::chrono::milliseconds timeLimit)
{
    if (script.size() > kMaxConfigScriptChars)
        return Failure(TooLarge());
    const QByteArray source = script.toUtf8();
    CScriptHeap heap(timeLimit);
    if (!heap.Context())
        return Failure(NotStarted());

    ST_PAGECONFIG config;
    SReading read{heap, config};
    bool threw = false;
    const bool survived = heap.Run([&](duk_context *ctx) {
        threw = !RunScript(ctx, source);
        ReadConfig(read);
    });
    // What a stopped run left may be half built.
    if (heap.DeadlinePassed())
        return Failure(TimedOut());
    if (!survived)
        return Failure(Threw());
    if (threw)
        config.strFailure = Threw();
    return config;
}
