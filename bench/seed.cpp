#include "seed.h"

#include "store/catalogue.h"

#include <QDate>
#include <QFile>

#include <sqlite3.h>

#include <array>
#include <cctype>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace seed {
namespace {

// splitmix64: small, fast and the same everywhere, so a count always gives
// the same books whatever the standard library.
class Random
{
public:
    explicit Random(quint64 seed)
        : m_state(seed)
    {}

    quint64 next()
    {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) { return int(next() % quint64(n)); }
    int between(int low, int high) { return low + below(high - low + 1); }
    bool percent(int p) { return below(100) < p; }
    template <size_t N> std::string_view pick(const std::array<std::string_view, N> &items)
    {
        return items[size_t(below(int(N)))];
    }

private:
    quint64 m_state;
};

constexpr quint64 kSeed = 20240601;

constexpr std::array<std::string_view, kCategoryCount> kCategories{
    "小说",   "历史",   "哲学", "计算机", "经济", "管理",     "文学评论", "诗歌",     "散文",     "传记",
    "艺术",   "音乐",   "摄影", "建筑",   "设计", "数学",     "物理",     "化学",     "生物",     "医学",
    "心理学", "社会学", "政治", "法律",   "教育", "外语学习", "旅游",     "地理",     "烹饪",     "养生",
    "体育",   "军事",   "宗教", "科幻",   "武侠", "推理",     "童书",     "漫画",     "工具书",   "古籍",
    "考古",   "天文",   "农业", "环境",   "工程", "编程语言", "网络技术", "人工智能", "收藏鉴赏", "Linux与开源"};

constexpr std::array<std::string_view, 96> kWords{
    "春天", "故事", "城市", "河流", "记忆", "时间", "光",     "影子",     "远方",       "山",   "海",   "夜晚",
    "旅行", "秘密", "花园", "战争", "和平", "历史", "文明",   "帝国",     "王朝",       "哲学", "思想", "人生",
    "爱情", "孤独", "自由", "命运", "世界", "中国", "北京",   "上海",     "江南",       "长安", "草原", "沙漠",
    "星空", "宇宙", "算法", "程序", "设计", "数据", "网络",   "经济",     "管理",       "心理", "艺术", "音乐",
    "诗",   "词",   "书",   "画",   "茶",   "酒",   "猫",     "鸟",       "风",         "雨",   "雪",   "月亮",
    "太阳", "少年", "老人", "女儿", "父亲", "母亲", "朋友",   "英雄",     "侦探",       "迷宫", "钟表", "铁路",
    "港口", "灯塔", "森林", "石头", "镜子", "沉默", "黎明",   "黄昏",     "红楼",       "西游", "三国", "水浒",
    "围城", "边城", "呐喊", "彷徨", "平凡", "活着", "白鹿原", "丝绸之路", "万历十五年", "人类", "未来", "细节"};

constexpr std::array<std::string_view, 8> kJoins{"的", "与", "之", "和", "在", "里的", "中的", "·"};

constexpr std::array<std::string_view, 24> kSuffixes{
    "简史", "导论", "原理", "入门",   "精通",   "实践",      "研究",      "笔记",       "手册", "全集", "选集", "随笔",
    "札记", "通史", "概论", "（上）", "（下）", "（第2版）", "（第3版）", "（修订本）", "十讲", "之谜", "传",   "录"};

constexpr std::array<std::string_view, 64> kLatinWords{
    "the",          "art",       "of",         "computer", "programming", "history", "modern",   "world",
    "introduction", "to",        "algorithms", "design",   "patterns",    "pride",   "and",      "prejudice",
    "war",          "peace",     "old",        "man",      "sea",         "brief",   "time",     "data",
    "structures",   "network",   "deep",       "learning", "clean",       "code",    "garden",   "city",
    "night",        "river",     "silent",     "spring",   "origin",      "species", "elements", "style",
    "linux",        "kernel",    "iOS",        "eBay",     "SQL",         "a",       "guide",    "for",
    "beginners",    "essential", "practical",  "theory",   "of",          "mind",    "language", "philosophy",
    "great",        "gatsby",    "little",     "prince",   "invisible",   "cities",  "C++",      "qt"};

constexpr std::array<std::string_view, 120> kSurnames{
    "王",   "李",   "张",   "刘",   "陈", "杨", "黄", "赵", "吴", "周", "徐", "孙", "马", "朱", "胡", "郭",   "何",
    "高",   "林",   "罗",   "郑",   "梁", "谢", "宋", "唐", "许", "韩", "冯", "邓", "曹", "彭", "曾", "肖",   "田",
    "董",   "袁",   "潘",   "于",   "蒋", "蔡", "余", "杜", "叶", "程", "苏", "魏", "吕", "丁", "任", "沈",   "姚",
    "卢",   "姜",   "崔",   "钟",   "谭", "陆", "汪", "范", "金", "石", "廖", "贾", "夏", "韦", "付", "方",   "白",
    "邹",   "孟",   "熊",   "秦",   "邱", "江", "尹", "薛", "闫", "段", "雷", "侯", "龙", "史", "陶", "黎",   "贺",
    "顾",   "毛",   "郝",   "龚",   "邵", "万", "钱", "严", "覃", "武", "戴", "莫", "孔", "向", "汤", "欧阳", "司马",
    "上官", "诸葛", "东方", "令狐", "常", "温", "康", "施", "文", "牛", "樊", "葛", "邢", "安", "齐", "易"};

constexpr std::array<std::string_view, 60> kGiven{
    "伟",   "芳",   "娜",   "秀英", "敏",   "静",   "丽",   "强",   "磊",   "军",   "洋",   "勇",
    "艳",   "杰",   "娟",   "涛",   "明",   "超",   "秀兰", "霞",   "平",   "刚",   "桂英", "华",
    "玉",   "萍",   "红",   "玲",   "建国", "志远", "晓东", "文博", "思雨", "子涵", "梓轩", "浩然",
    "欣怡", "俊杰", "雅琴", "一鸣", "小川", "若水", "之华", "元",   "亮",   "鹏",   "婷",   "颖",
    "琳",   "波",   "辉",   "宁",   "晨",   "雪",   "梅",   "兰",   "竹",   "菊",   "书",   "墨"};

constexpr std::array<std::string_view, 30> kLatinFirst{
    "John",     "Mary",    "Donald", "George", "Virginia", "Ernest", "Jane",    "Charles", "Haruki", "Umberto",
    "Italo",    "Gabriel", "Franz",  "Leo",    "Fyodor",   "Albert", "Richard", "Bjarne",  "Linus",  "Andrew",
    "Margaret", "Toni",    "Kazuo",  "Milan",  "Jorge",    "Anne",   "Stephen", "Yuval",   "Jared",  "Scott"};

constexpr std::array<std::string_view, 30> kLatinLast{
    "Smith",      "Knuth",    "Orwell",    "Woolf",   "Hemingway", "Austen",     "Dickens", "Murakami",
    "Eco",        "Calvino",  "Marquez",   "Kafka",   "Tolstoy",   "Dostoevsky", "Camus",   "Feynman",
    "Stroustrup", "Torvalds", "Tanenbaum", "Atwood",  "Morrison",  "Ishiguro",   "Kundera", "Borges",
    "Frank",      "Hawking",  "Harari",    "Diamond", "Meyers",    "McConnell"};

constexpr std::array<std::string_view, 20> kTranslated{"[美] 唐纳德·克努特",
                                                       "[英] 乔治·奥威尔",
                                                       "[日] 村上春树",
                                                       "[意] 卡尔维诺",
                                                       "[法] 加缪",
                                                       "[俄] 列夫·托尔斯泰",
                                                       "[哥伦比亚] 马尔克斯",
                                                       "[捷克] 米兰·昆德拉",
                                                       "[美] 海明威",
                                                       "[英] 简·奥斯汀",
                                                       "[以色列] 尤瓦尔·赫拉利",
                                                       "[美] 贾雷德·戴蒙德",
                                                       "[日] 东野圭吾",
                                                       "[德] 黑塞",
                                                       "[英] 狄更斯",
                                                       "[奥] 卡夫卡",
                                                       "[阿根廷] 博尔赫斯",
                                                       "[英] 石黑一雄",
                                                       "[美] 费曼",
                                                       "[加] 阿特伍德"};

constexpr std::array<std::string_view, 26> kPublishers{
    "人民文学出版社", "商务印书馆",     "中华书局",       "机械工业出版社",     "电子工业出版社",
    "清华大学出版社", "北京大学出版社", "上海译文出版社", "译林出版社",         "生活·读书·新知三联书店",
    "中信出版社",     "人民邮电出版社", "作家出版社",     "上海古籍出版社",     "广西师范大学出版社",
    "浙江文艺出版社", "南海出版公司",   "长江文艺出版社", "科学出版社",         "高等教育出版社",
    "中国青年出版社", "新星出版社",     "湖南文艺出版社", "北京十月文艺出版社", "岩波書店",
    "新潮社"};

constexpr std::array<std::string_view, 6> kLatinPublishers{"O'Reilly Media", "Addison-Wesley", "Penguin Books",
                                                           "Vintage",        "MIT Press",      "Springer"};

constexpr std::array<std::string_view, 16> kPlaces{
    "当当网",   "京东",     "新华书店", "卓越亚马逊", "孔夫子旧书网", "西单图书大厦", "季风书园",   "朋友赠送",
    "二手书市", "万圣书园", "单向空间", "机场书店",   "淘宝",         "学校书店",     "Amazon.com", "旧书摊"};

constexpr std::array<std::string_view, 24> kNoteParts{"本书讲述了一段跨越半个世纪的家族往事，",
                                                      "作者以细腻的笔触描绘了普通人在时代洪流中的命运，",
                                                      "全书共分十二章，",
                                                      "从历史、地理与经济三个角度展开论述，",
                                                      "语言平实，适合初学者阅读。",
                                                      "书中附有大量插图和参考文献，",
                                                      "是该领域公认的经典之作。",
                                                      "译文流畅，注释详尽，",
                                                      "每章后附有习题与思考题，",
                                                      "讨论了算法设计中的常见问题与解决办法，",
                                                      "记录了作者多年旅居海外的见闻与感悟。",
                                                      "情节曲折，人物形象鲜明，",
                                                      "二手购入，扉页有前任主人的签名，",
                                                      "封面略有磨损，内页完好。",
                                                      "适合在安静的午后慢慢品读。",
                                                      "朋友推荐，值得再读一遍。",
                                                      "第二版增补了近年来的研究成果，",
                                                      "Includes an index and a glossary. ",
                                                      "书中引用了大量一手史料，",
                                                      "涉及 C++、Qt 与数据库编程的实践经验，",
                                                      "以侦探小说的形式探讨哲学问题，",
                                                      "收录了作者早期的中短篇小说九篇，",
                                                      "配有作者手绘的地图，",
                                                      "读完后久久不能平静。"};

size_t charCount(std::string_view utf8)
{
    size_t n = 0;
    for (const char c : utf8)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++n;
    return n;
}

// Cuts the text after its first `chars` characters.
void truncateChars(std::string &utf8, size_t chars)
{
    size_t n = 0;
    for (size_t i = 0; i < utf8.size(); ++i) {
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) {
            if (n == chars) {
                utf8.resize(i);
                return;
            }
            ++n;
        }
    }
}

std::string chineseTitle(Random &r)
{
    // Appended one piece at a time, so the pieces are drawn in a fixed order.
    std::string title;
    auto add = [&](std::string_view piece) { title += piece; };
    switch (r.below(4)) {
    case 0:
        add(r.pick(kWords));
        add(r.pick(kJoins));
        add(r.pick(kWords));
        break;
    case 1:
        add(r.pick(kWords));
        add(r.pick(kWords));
        add(r.pick(kSuffixes));
        break;
    case 2:
        add(r.pick(kWords));
        add(r.pick(kJoins));
        add(r.pick(kWords));
        add("：");
        add(r.pick(kWords));
        add(r.pick(kSuffixes));
        break;
    default:
        add(r.pick(kWords));
        add(r.pick(kWords));
        add(r.pick(kWords));
        break;
    }
    while (charCount(title) < 4)
        add(r.pick(kWords));
    truncateChars(title, 15);
    return title;
}

std::string latinTitle(Random &r)
{
    const int words = r.between(2, 6);
    const int style = r.below(100); // title case, lower case, upper case, as the words come
    std::string title;
    for (int i = 0; i < words; ++i) {
        std::string word(r.pick(kLatinWords));
        if (style < 60) {
            if (i == 0 || word.size() > 3)
                word[0] = char(std::toupper(static_cast<unsigned char>(word[0])));
        } else if (style < 75) {
            for (char &c : word)
                c = char(std::tolower(static_cast<unsigned char>(c)));
        } else if (style < 85) {
            for (char &c : word)
                c = char(std::toupper(static_cast<unsigned char>(c)));
        }
        if (i > 0)
            title += ' ';
        title += word;
    }
    return title;
}

std::string chineseName(Random &r)
{
    std::string name(r.pick(kSurnames));
    name += r.pick(kGiven);
    return name;
}

std::string author(Random &r, bool latinBook)
{
    if (latinBook || r.percent(8)) {
        std::string name(r.pick(kLatinFirst));
        name += ' ';
        name += r.pick(kLatinLast);
        return name;
    }
    if (r.percent(12))
        return std::string(r.pick(kTranslated));
    return chineseName(r);
}

std::string language(Random &r, bool latinBook)
{
    if (latinBook)
        return r.percent(85) ? "英文" : (r.percent(50) ? "法文" : "德文");
    const int p = r.below(100);
    if (p < 84)
        return "中文";
    if (p < 90)
        return "日文";
    if (p < 94)
        return "英文";
    if (p < 96)
        return "俄文";
    if (p < 98)
        return "韩文";
    return "西班牙文";
}

std::string isbn(Random &r, bool latinBook)
{
    std::string digits = latinBook ? (r.percent(50) ? "9780" : "9781") : "9787";
    while (digits.size() < 12)
        digits += char('0' + r.below(10));
    int sum = 0;
    for (size_t i = 0; i < 12; ++i)
        sum += (digits[i] - '0') * (i % 2 ? 3 : 1);
    digits += char('0' + (10 - sum % 10) % 10);
    if (r.percent(20)) // as printed on the cover
        return digits.substr(0, 3) + '-' + digits.substr(3, 1) + '-' + digits.substr(4, 4) + '-' + digits.substr(8, 4) +
               '-' + digits.substr(12, 1);
    return digits;
}

std::string price(Random &r)
{
    const int yuan = r.percent(80) ? r.between(8, 99) : r.between(100, 480);
    switch (r.below(10)) {
    case 0:
    case 1:
    case 2:
        return std::to_string(yuan) + '.' + char('0' + r.between(1, 9)); // 128.5
    case 3:
        return std::to_string(yuan) + ".00"; // 59.00
    case 4:
        return std::to_string(yuan) + '.' + char('0' + r.below(10)) + '0'; // 35.80
    default:
        return std::to_string(yuan); // 35
    }
}

std::string note(Random &r)
{
    const size_t target = size_t(r.between(50, 200));
    std::string text;
    while (charCount(text) < target)
        text += r.pick(kNoteParts);
    truncateChars(text, target);
    return text;
}

const QDate kEarliest(1950, 1, 1);
const QDate kLatest(2024, 6, 30);

QDate randomDate(Random &r, QDate from, QDate to)
{
    const qint64 span = from.daysTo(to);
    return from.addDays(span > 0 ? r.below(int(span) + 1) : 0);
}

std::string iso(QDate date)
{
    return date.toString(Qt::ISODate).toStdString();
}

// A statement that binds texts, integers and nulls by position.
class Insert
{
public:
    Insert(sqlite3 *db, const char *sql)
        : m_db(db)
    {
        if (sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string("prepare failed: ") + sqlite3_errmsg(db));
    }
    ~Insert() { sqlite3_finalize(m_stmt); }
    Insert(const Insert &) = delete;
    Insert &operator=(const Insert &) = delete;

    void text(int slot, std::string_view value)
    {
        sqlite3_bind_text(m_stmt, slot, value.data(), int(value.size()), SQLITE_TRANSIENT);
    }
    void optionalText(int slot, const std::optional<std::string> &value)
    {
        if (value)
            text(slot, *value);
        else
            sqlite3_bind_null(m_stmt, slot);
    }
    void integer(int slot, std::optional<int> value)
    {
        if (value)
            sqlite3_bind_int64(m_stmt, slot, *value);
        else
            sqlite3_bind_null(m_stmt, slot);
    }
    void run()
    {
        if (sqlite3_step(m_stmt) != SQLITE_DONE)
            throw std::runtime_error(std::string("insert failed: ") + sqlite3_errmsg(m_db));
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }

private:
    sqlite3 *m_db;
    sqlite3_stmt *m_stmt = nullptr;
};

void exec(sqlite3 *db, const char *sql)
{
    char *error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string text = error ? error : sqlite3_errmsg(db);
        sqlite3_free(error);
        throw std::runtime_error(text);
    }
}

void fill(sqlite3 *db, int books)
{
    exec(db, "BEGIN");
    {
        Insert category(db, "INSERT INTO category (cate_name) VALUES (?)");
        for (const std::string_view name : kCategories) {
            category.text(1, name);
            category.run();
        }
    }

    Insert book(db, "INSERT INTO book (book_name, book_cate, book_author, book_author2, book_language, "
                    "book_isbn, book_pub, book_pubd, book_pages, book_buya, book_buyd, book_value, "
                    "book_rating, book_loan, book_readed, book_reader, book_loand, book_note) "
                    "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    Random r(kSeed);
    for (int i = 0; i < books; ++i) {
        const bool latinBook = r.percent(15);
        book.text(1, latinBook ? latinTitle(r) : chineseTitle(r));
        book.text(2, r.pick(kCategories));
        book.text(3, author(r, latinBook));
        // Most books have one author; a second is often the translator.
        std::optional<std::string> second;
        if (r.percent(35))
            second = r.percent(50) ? chineseName(r) + " 译" : author(r, latinBook);
        else if (r.percent(30))
            second = std::string();
        book.optionalText(4, second);
        book.text(5, language(r, latinBook));
        book.optionalText(6, r.percent(3) ? std::nullopt : std::optional(isbn(r, latinBook)));
        book.text(7, latinBook && r.percent(70) ? r.pick(kLatinPublishers) : r.pick(kPublishers));

        const QDate published = randomDate(r, kEarliest, QDate(2023, 12, 31));
        const QDate bought = randomDate(r, published, std::min(published.addDays(3000), kLatest));
        book.optionalText(8, r.percent(2) ? std::nullopt : std::optional(iso(published)));
        book.integer(9, r.percent(2) ? std::nullopt
                                     : std::optional(r.percent(70) ? r.between(80, 480) : r.between(481, 1400)));
        book.text(10, r.pick(kPlaces));
        book.optionalText(11, r.percent(3) ? std::nullopt : std::optional(iso(bought)));
        book.optionalText(12, r.percent(4) ? std::optional(std::string()) : std::optional(price(r)));

        const int rating = r.percent(40) ? 2 : r.between(1, 5);
        const int loanRoll = r.below(100);
        const int loan = loanRoll < 85 ? 1 : (loanRoll < 93 ? 2 : 3);
        book.integer(13, rating);
        book.integer(14, loan);
        book.integer(15, r.percent(55) ? 1 : 2);
        // An own copy may keep the name of whoever last had it.
        if (loan != 1 || r.percent(3))
            book.text(16, chineseName(r));
        else
            book.integer(16, std::nullopt);
        book.optionalText(17, loan != 1 ? std::optional(iso(randomDate(r, bought, kLatest))) : std::nullopt);
        book.text(18, note(r));
        book.run();
    }
    exec(db, "COMMIT");
}

} // namespace

QStringList categoryNames()
{
    QStringList names;
    for (const std::string_view name : kCategories)
        names << QString::fromUtf8(name.data(), qsizetype(name.size()));
    return names;
}

void makeCatalogue(const QString &path, int books)
{
    catalogue::create(path);
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        const std::string reason = db ? sqlite3_errmsg(db) : "cannot open";
        sqlite3_close(db);
        throw std::runtime_error("cannot open the new data file: " + reason);
    }
    try {
        fill(db, books);
    } catch (...) {
        sqlite3_close(db);
        throw;
    }
    sqlite3_close(db);
}

} // namespace seed
