#include "seedtexts.h"

#include <array>

namespace seedtexts {
namespace {

using namespace std::string_view_literals;

constexpr std::array kCategories{
    "小说"sv,       "历史"sv,     "文学"sv,   "计算机"sv, "经济"sv, "哲学"sv,       "传记"sv, "艺术"sv,
    "童书"sv,       "社会学"sv,   "心理学"sv, "诗歌"sv,   "散文"sv, "管理"sv,       "科普"sv, "数学"sv,
    "旅游"sv,       "政治"sv,     "法律"sv,   "教育"sv,   "医学"sv, "烹饪"sv,       "摄影"sv, "音乐"sv,
    "建筑与设计"sv, "外语学习"sv, "古籍"sv,   "军事"sv,   "宗教"sv, "漫画与绘本"sv,
};

constexpr std::array kTitleWords{
    "春天"sv,   "故事"sv,   "城市"sv, "河流"sv, "记忆"sv,     "时间"sv,   "光"sv,         "影子"sv, "远方"sv,
    "山"sv,     "海"sv,     "夜晚"sv, "旅行"sv, "秘密"sv,     "花园"sv,   "战争"sv,       "和平"sv, "历史"sv,
    "文明"sv,   "帝国"sv,   "王朝"sv, "哲学"sv, "思想"sv,     "人生"sv,   "爱情"sv,       "孤独"sv, "自由"sv,
    "命运"sv,   "世界"sv,   "中国"sv, "北京"sv, "上海"sv,     "江南"sv,   "长安"sv,       "草原"sv, "沙漠"sv,
    "星空"sv,   "宇宙"sv,   "算法"sv, "程序"sv, "设计"sv,     "数据"sv,   "网络"sv,       "经济"sv, "管理"sv,
    "心理"sv,   "艺术"sv,   "音乐"sv, "诗"sv,   "词"sv,       "书"sv,     "画"sv,         "茶"sv,   "酒"sv,
    "猫"sv,     "鸟"sv,     "风"sv,   "雨"sv,   "雪"sv,       "月亮"sv,   "太阳"sv,       "少年"sv, "老人"sv,
    "女儿"sv,   "父亲"sv,   "母亲"sv, "朋友"sv, "英雄"sv,     "侦探"sv,   "迷宫"sv,       "钟表"sv, "铁路"sv,
    "港口"sv,   "灯塔"sv,   "森林"sv, "石头"sv, "镜子"sv,     "沉默"sv,   "黎明"sv,       "黄昏"sv, "红楼"sv,
    "西游"sv,   "三国"sv,   "水浒"sv, "围城"sv, "边城"sv,     "呐喊"sv,   "彷徨"sv,       "平凡"sv, "活着"sv,
    "白鹿原"sv, "人类"sv,   "未来"sv, "细节"sv, "丝绸之路"sv, "大运河"sv, "万历十五年"sv, "菜谱"sv, "园林"sv,
    "村庄"sv,   "故乡"sv,   "码头"sv, "列车"sv, "候鸟"sv,     "青铜"sv,   "瓷器"sv,       "书信"sv, "日记"sv,
    "理想国"sv, "乌托邦"sv, "机器"sv, "编码"sv, "量子"sv,     "基因"sv,   "病毒"sv,       "大脑"sv, "语言"sv,
    "文字"sv,   "地图"sv,   "海洋"sv, "岛屿"sv, "季节"sv,     "节气"sv,   "星辰"sv,       "银河"sv,
};

constexpr std::array kTitleJoins{"的"sv,   "与"sv,   "之"sv, "和"sv,   "在"sv,
                                 "里的"sv, "中的"sv, "·"sv,  "及其"sv, "背后的"sv};

constexpr std::array kTitleEndings{
    "简史"sv, "导论"sv, "原理"sv, "入门"sv, "精通"sv,     "实践"sv,         "研究"sv,   "笔记"sv,
    "手册"sv, "全集"sv, "选集"sv, "随笔"sv, "札记"sv,     "通史"sv,         "概论"sv,   "十讲"sv,
    "之谜"sv, "传"sv,   "录"sv,   "考"sv,   "漫谈"sv,     "答问"sv,         "图说"sv,   "新论"sv,
    "评传"sv, "史话"sv, "年谱"sv, "集注"sv, "研究文集"sv, "从入门到精通"sv, "三十讲"sv,
};

constexpr std::array kVolumes{
    "（上）"sv,     "（下）"sv,     "（第2版）"sv,  "（第3版）"sv,  "（修订本）"sv, "（插图本）"sv,
    "（第一卷）"sv, "（第二卷）"sv, "（典藏版）"sv, "（全二册）"sv, "（增订版）"sv, "（珍藏版）"sv,
};

constexpr std::array kLatinWords{
    "the"sv,        "art"sv,       "of"sv,           "computer"sv,  "programming"sv, "history"sv,
    "modern"sv,     "world"sv,     "introduction"sv, "to"sv,        "algorithms"sv,  "design"sv,
    "patterns"sv,   "pride"sv,     "and"sv,          "prejudice"sv, "war"sv,         "peace"sv,
    "old"sv,        "man"sv,       "sea"sv,          "brief"sv,     "time"sv,        "data"sv,
    "structures"sv, "network"sv,   "deep"sv,         "learning"sv,  "clean"sv,       "code"sv,
    "garden"sv,     "city"sv,      "night"sv,        "river"sv,     "silent"sv,      "spring"sv,
    "origin"sv,     "species"sv,   "elements"sv,     "style"sv,     "linux"sv,       "kernel"sv,
    "SQL"sv,        "a"sv,         "guide"sv,        "for"sv,       "beginners"sv,   "essential"sv,
    "practical"sv,  "theory"sv,    "mind"sv,         "language"sv,  "philosophy"sv,  "great"sv,
    "little"sv,     "prince"sv,    "invisible"sv,    "cities"sv,    "C++"sv,         "qt"sv,
    "systems"sv,    "economics"sv, "letters"sv,
};

constexpr std::array kSurnames{
    "王"sv, "李"sv, "张"sv, "刘"sv, "陈"sv, "杨"sv, "黄"sv, "赵"sv, "吴"sv,   "周"sv,   "徐"sv,   "孙"sv,   "马"sv,
    "朱"sv, "胡"sv, "郭"sv, "何"sv, "高"sv, "林"sv, "罗"sv, "郑"sv, "梁"sv,   "谢"sv,   "宋"sv,   "唐"sv,   "许"sv,
    "韩"sv, "冯"sv, "邓"sv, "曹"sv, "彭"sv, "曾"sv, "肖"sv, "田"sv, "董"sv,   "袁"sv,   "潘"sv,   "于"sv,   "蒋"sv,
    "蔡"sv, "余"sv, "杜"sv, "叶"sv, "程"sv, "苏"sv, "魏"sv, "吕"sv, "丁"sv,   "任"sv,   "沈"sv,   "姚"sv,   "卢"sv,
    "姜"sv, "崔"sv, "钟"sv, "谭"sv, "陆"sv, "汪"sv, "范"sv, "金"sv, "石"sv,   "廖"sv,   "贾"sv,   "夏"sv,   "韦"sv,
    "付"sv, "方"sv, "白"sv, "邹"sv, "孟"sv, "熊"sv, "秦"sv, "邱"sv, "江"sv,   "尹"sv,   "薛"sv,   "闫"sv,   "段"sv,
    "雷"sv, "侯"sv, "龙"sv, "史"sv, "陶"sv, "黎"sv, "贺"sv, "顾"sv, "毛"sv,   "郝"sv,   "龚"sv,   "邵"sv,   "万"sv,
    "钱"sv, "严"sv, "覃"sv, "武"sv, "戴"sv, "莫"sv, "孔"sv, "向"sv, "汤"sv,   "常"sv,   "温"sv,   "康"sv,   "施"sv,
    "文"sv, "牛"sv, "樊"sv, "葛"sv, "邢"sv, "安"sv, "齐"sv, "易"sv, "欧阳"sv, "司马"sv, "上官"sv, "诸葛"sv,
};

constexpr std::array kGivenNames{
    "伟"sv,   "芳"sv,   "娜"sv,   "秀英"sv, "敏"sv,   "静"sv,   "丽"sv,   "强"sv,   "磊"sv,   "军"sv,   "洋"sv,
    "勇"sv,   "艳"sv,   "杰"sv,   "娟"sv,   "涛"sv,   "明"sv,   "超"sv,   "秀兰"sv, "霞"sv,   "平"sv,   "刚"sv,
    "桂英"sv, "华"sv,   "玉"sv,   "萍"sv,   "红"sv,   "玲"sv,   "建国"sv, "志远"sv, "晓东"sv, "文博"sv, "思雨"sv,
    "子涵"sv, "梓轩"sv, "浩然"sv, "欣怡"sv, "俊杰"sv, "雅琴"sv, "一鸣"sv, "小川"sv, "若水"sv, "之华"sv, "元"sv,
    "亮"sv,   "鹏"sv,   "婷"sv,   "颖"sv,   "琳"sv,   "波"sv,   "辉"sv,   "宁"sv,   "晨"sv,   "雪"sv,   "梅"sv,
    "兰"sv,   "竹"sv,   "菊"sv,   "书"sv,   "墨"sv,   "振华"sv, "海燕"sv, "立新"sv, "春生"sv, "秋实"sv, "冬青"sv,
    "国庆"sv, "卫东"sv, "红梅"sv, "丹"sv,   "岚"sv,   "峰"sv,   "嘉"sv,   "然"sv,   "远山"sv, "清扬"sv,
};

constexpr std::array kLatinFirstNames{
    "John"sv,    "Mary"sv,    "Donald"sv, "George"sv,   "Virginia"sv, "Ernest"sv, "Jane"sv,   "Charles"sv,
    "Haruki"sv,  "Umberto"sv, "Italo"sv,  "Gabriel"sv,  "Franz"sv,    "Leo"sv,    "Fyodor"sv, "Albert"sv,
    "Richard"sv, "Bjarne"sv,  "Andrew"sv, "Margaret"sv, "Toni"sv,     "Kazuo"sv,  "Milan"sv,  "Jorge"sv,
    "Anne"sv,    "Stephen"sv, "Yuval"sv,  "Jared"sv,    "Scott"sv,    "Elena"sv,  "Peter"sv,  "Susan"sv,
};

constexpr std::array kLatinLastNames{
    "Smith"sv,      "Knuth"sv,     "Orwell"sv,  "Woolf"sv,    "Hemingway"sv, "Austen"sv,     "Dickens"sv, "Murakami"sv,
    "Eco"sv,        "Calvino"sv,   "Marquez"sv, "Kafka"sv,    "Tolstoy"sv,   "Dostoevsky"sv, "Camus"sv,   "Feynman"sv,
    "Stroustrup"sv, "Tanenbaum"sv, "Atwood"sv,  "Morrison"sv, "Ishiguro"sv,  "Kundera"sv,    "Borges"sv,  "Frank"sv,
    "Hawking"sv,    "Harari"sv,    "Diamond"sv, "Meyers"sv,   "McConnell"sv, "Ferrante"sv,   "Sacks"sv,   "Sontag"sv,
};

constexpr std::array kCountries{"[美]"sv, "[英]"sv, "[法]"sv, "[德]"sv,   "[日]"sv,     "[俄]"sv,     "[意]"sv,
                                "[加]"sv, "[奥]"sv, "[西]"sv, "[捷克]"sv, "[阿根廷]"sv, "[以色列]"sv, "[瑞典]"sv};

constexpr std::array kTranslatedGiven{
    "乔治"sv,   "约翰"sv,   "玛丽"sv,     "威廉"sv,     "托马斯"sv, "查尔斯"sv, "弗朗茨"sv, "列夫"sv,   "安娜"sv,
    "米兰"sv,   "加西亚"sv, "伊塔洛"sv,   "翁贝托"sv,   "村上"sv,   "东野"sv,   "阿尔贝"sv, "理查德"sv, "斯蒂芬"sv,
    "尤瓦尔"sv, "贾雷德"sv, "弗吉尼亚"sv, "欧内斯特"sv, "简"sv,     "赫尔曼"sv, "卡尔"sv,   "彼得"sv,
};

constexpr std::array kTranslatedFamily{
    "奥威尔"sv, "狄更斯"sv, "卡夫卡"sv, "托尔斯泰"sv, "昆德拉"sv, "马尔克斯"sv, "卡尔维诺"sv, "艾柯"sv,
    "春树"sv,   "圭吾"sv,   "加缪"sv,   "费曼"sv,     "霍金"sv,   "赫拉利"sv,   "戴蒙德"sv,   "伍尔夫"sv,
    "海明威"sv, "奥斯汀"sv, "黑塞"sv,   "茨威格"sv,   "萨克斯"sv, "克努特"sv,   "博尔赫斯"sv, "石黑"sv,
};

constexpr std::array kRegions{
    "北京"sv, "上海"sv, "天津"sv, "重庆"sv, "河北"sv, "山西"sv, "辽宁"sv, "吉林"sv,   "黑龙江"sv, "江苏"sv, "浙江"sv,
    "安徽"sv, "福建"sv, "江西"sv, "山东"sv, "河南"sv, "湖北"sv, "湖南"sv, "广东"sv,   "广西"sv,   "海南"sv, "四川"sv,
    "贵州"sv, "云南"sv, "陕西"sv, "甘肃"sv, "青海"sv, "宁夏"sv, "新疆"sv, "内蒙古"sv, "西藏"sv,
};

constexpr std::array kPressKinds{
    "人民出版社"sv, "文艺出版社"sv,     "科学技术出版社"sv, "教育出版社"sv,
    "美术出版社"sv, "少年儿童出版社"sv, "古籍出版社"sv,     "大学出版社"sv,
};

constexpr std::array kNamedPresses{
    "人民文学出版社"sv,
    "商务印书馆"sv,
    "中华书局"sv,
    "机械工业出版社"sv,
    "电子工业出版社"sv,
    "清华大学出版社"sv,
    "北京大学出版社"sv,
    "上海译文出版社"sv,
    "译林出版社"sv,
    "生活·读书·新知三联书店"sv,
    "中信出版社"sv,
    "人民邮电出版社"sv,
    "作家出版社"sv,
    "广西师范大学出版社"sv,
    "南海出版公司"sv,
    "科学出版社"sv,
    "高等教育出版社"sv,
    "中国青年出版社"sv,
    "新星出版社"sv,
    "北京十月文艺出版社"sv,
    "外语教学与研究出版社"sv,
    "社会科学文献出版社"sv,
    "中国人民大学出版社"sv,
    "华东师范大学出版社"sv,
    "复旦大学出版社"sv,
    "浙江大学出版社"sv,
    "岩波書店"sv,
    "新潮社"sv,
};

constexpr std::array kForeignPresses{
    "O'Reilly Media"sv, "Addison-Wesley"sv, "Penguin Books"sv,           "Vintage"sv,
    "MIT Press"sv,      "Springer"sv,       "Oxford University Press"sv, "Cambridge University Press"sv,
    "Gallimard"sv,      "Suhrkamp"sv,
};

constexpr std::array kBuyPlaces{
    "当当网"sv,   "京东"sv,       "新华书店"sv, "孔夫子旧书网"sv, "西单图书大厦"sv, "季风书园"sv, "朋友赠送"sv,
    "二手书市"sv, "万圣书园"sv,   "单向空间"sv, "机场书店"sv,     "淘宝"sv,         "学校书店"sv, "Amazon.com"sv,
    "旧书摊"sv,   "出版社邮购"sv, "书展"sv,     "网上书店"sv,     "先锋书店"sv,     "博库书城"sv,
};

constexpr std::array kOtherLanguages{"英文"sv, "日文"sv, "法文"sv, "德文"sv, "俄文"sv, "韩文"sv, "西班牙文"sv};

constexpr std::array kSummaryParts{
    "本书讲述了一段跨越半个世纪的家族往事，"sv,
    "作者以细腻的笔触描绘了普通人在时代洪流中的命运，"sv,
    "全书共分十二章，"sv,
    "从历史、地理与经济三个角度展开论述，"sv,
    "语言平实，适合初学者阅读。"sv,
    "书中附有大量插图和参考文献，"sv,
    "是该领域公认的经典之作。"sv,
    "译文流畅，注释详尽，"sv,
    "每章后附有习题与思考题，"sv,
    "讨论了算法设计中的常见问题与解决办法，"sv,
    "记录了作者多年旅居海外的见闻与感悟。"sv,
    "情节曲折，人物形象鲜明，"sv,
    "二手购入，扉页有前任主人的签名，"sv,
    "封面略有磨损，内页完好。"sv,
    "适合在安静的午后慢慢品读。"sv,
    "朋友推荐，值得再读一遍。"sv,
    "第二版增补了近年来的研究成果，"sv,
    "Includes an index and a glossary. "sv,
    "书中引用了大量一手史料，"sv,
    "涉及 C++、Qt 与数据库编程的实践经验，"sv,
    "以侦探小说的形式探讨哲学问题，"sv,
    "收录了作者早期的中短篇小说九篇，"sv,
    "配有作者手绘的地图，"sv,
    "读完后久久不能平静。"sv,
    "借给朋友后又买了一本，"sv,
    "书页泛黄，是父亲留下的藏书，"sv,
    "作者签名本，"sv,
    "绝版多年，在旧书网上淘到，"sv,
};

} // namespace

Words categories()
{
    return kCategories;
}
Words titleWords()
{
    return kTitleWords;
}
Words titleJoins()
{
    return kTitleJoins;
}
Words titleEndings()
{
    return kTitleEndings;
}
Words volumes()
{
    return kVolumes;
}
Words latinWords()
{
    return kLatinWords;
}
Words surnames()
{
    return kSurnames;
}
Words givenNames()
{
    return kGivenNames;
}
Words latinFirstNames()
{
    return kLatinFirstNames;
}
Words latinLastNames()
{
    return kLatinLastNames;
}
Words countries()
{
    return kCountries;
}
Words translatedGiven()
{
    return kTranslatedGiven;
}
Words translatedFamily()
{
    return kTranslatedFamily;
}
Words regions()
{
    return kRegions;
}
Words pressKinds()
{
    return kPressKinds;
}
Words namedPresses()
{
    return kNamedPresses;
}
Words foreignPresses()
{
    return kForeignPresses;
}
Words buyPlaces()
{
    return kBuyPlaces;
}
Words otherLanguages()
{
    return kOtherLanguages;
}
Words summaryParts()
{
    return kSummaryParts;
}

} // namespace seedtexts
