// The catalogue's content, row by row, and its lookups and palette.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/text.h"
#include "lang/cmd.h"

namespace panelcraft {
namespace {

struct Param {
  const char* name;
  const char* kind;
  const char* description;
};

struct Row {
  const char* name;
  int boxKind;
  int category;
  const char* syntax;
  const char* defaultStatement;
  const char* remark;
  std::vector<Param> parameters;
};

// Every entry in the order the catalogue adds it.
// clang-format off
const std::vector<Row> kRows = {
    {"LABL", 4, 1, "显示标签:LABL(m,x1,y1,x2,str,c,ali);", "LABL(24,20,10,200,'24点阵汉字居中',15,1)", "以m号字在(x1,y1)~(x2,y1+m) 这个方框内以c为前景绘制字符串,可设置居左,居右还是居中;背景色使用SBC语句指定",
     {{"m", "int", "字体号,可以是12,16,24,32,48,64 之间一种"}, {"x1", "X", "左上角x坐标"}, {"y1", "Y", "左上角y坐标"}, {"x2", "X", "右边界"}, {"str", "str", "要显示的字符串"}, {"c", "c", "颜色号"}, {"ali", "int", "=0 居左；=1居中；=2居右"}}},
    {"DS12", 2, 1, "显示12点阵:DS12(x1,y1,str,c,lx);", "DS12(0,0,'要显示的字符串',1)", "",
     {{"x1", "X", "左上角x坐标"}, {"y1", "Y", "左上角y坐标"}, {"str", "str", "要显示的字符串"}, {"c", "c", "颜色号"}, {"lx", "X", "限制的右边框X位置,可省"}}},
    {"DS16", 2, 1, "显示16点阵:DS16(x1,y1,str,c,lx);", "DS16(0,0,'要显示的字符串',1)", "",
     {{"x1", "X", "左上角x坐标"}, {"y1", "Y", "左上角y坐标"}, {"str", "str", "要显示的字符串"}, {"c", "c", "颜色号"}, {"lx", "X", "限制的右边框X位置,可省"}}},
    {"DS24", 2, 1, "显示24点阵:DS24(x1,y1,str,c,lx);", "DS24(0,0,'要显示的字符串',1)", "",
     {{"x1", "X", "左上角x坐标"}, {"y1", "Y", "左上角y坐标"}, {"str", "str", "要显示的字符串"}, {"c", "c", "颜色号"}, {"lx", "X", "限制的右边框X位置,可省"}}},
    {"DS32", 2, 1, "显示32点阵:DS32(x1,y1,str,c,lx);", "DS32(0,0,'要显示的字符串',1)", "",
     {{"x1", "X", "左上角x坐标"}, {"y1", "Y", "左上角y坐标"}, {"str", "str", "要显示的字符串"}, {"c", "c", "颜色号"}, {"lx", "X", "限制的右边框X位置,可省"}}},
    {"DS48", 2, 1, "显示48点阵:DS48(x1,y1,str,c,lx);", "DS48(0,0,'要显示的字符串',1)", "",
     {{"x1", "X", "左上角x坐标"}, {"y1", "Y", "左上角y坐标"}, {"str", "str", "要显示的字符串"}, {"c", "c", "颜色号"}, {"lx", "X", "限制的右边框X位置,可省"}}},
    {"DS64", 2, 1, "显示64点阵:DS64(x1,y1,str,c,lx);", "DS64(0,0,'要显示的字符串',1)", "",
     {{"x1", "X", "左上角x坐标"}, {"y1", "Y", "左上角y坐标"}, {"str", "str", "要显示的字符串"}, {"c", "c", "颜色号"}, {"lx", "X", "限制的右边框X位置,可省"}}},
    {"CLS", 3, 0, "清屏:CLS(c);", "CLS(0)", "",
     {{"c", "c", "颜色号"}}},
    {"BS12", 4, 1, "12段落显示:BS12(x1,y1,x2,lw,str,c);", "BS12(0,0,219,4,'要显示的字符串',1)", "",
     {{"x1", "X", "左上角x坐标"}, {"y1", "Y", "左上角y坐标"}, {"x2", "X", "段落右边结束X坐标"}, {"lw", "int", "行间距"}, {"str", "str", "要显示的字符串"}, {"c", "c", "颜色号"}}},
    {"BS16", 4, 1, "16段落显示:BS16(x1,y1,x2,lw,str,c);", "BS16(0,0,219,4,'要显示的字符串',1)", "",
     {{"x1", "X", "左上角x坐标"}, {"y1", "Y", "左上角y坐标"}, {"x2", "X", "段落右边结束X坐标"}, {"lw", "int", "行间距"}, {"str", "str", "要显示的字符串"}, {"c", "c", "颜色号"}}},
    {"BS24", 4, 1, "24段落显示:BS24(x1,y1,x2,lw,str,c);", "BS24(0,0,219,4,'要显示的字符串',1)", "",
     {{"x1", "X", "左上角x坐标"}, {"y1", "Y", "左上角y坐标"}, {"x2", "X", "段落右边结束X坐标"}, {"lw", "int", "行间距"}, {"str", "str", "要显示的字符串"}, {"c", "c", "颜色号"}}},
    {"PIC", 2, 3, "显示图片:PIC(x1,y1,pn);", "PIC(0,0,1)", "",
     {{"x1", "X", "左上角x坐标"}, {"y1", "Y", "左上角y坐标"}, {"pn", "pic", "第几幅图片"}}},
    {"BOX", 1, 0, "空心方框:BOX(x1,y1,x2,y2,c);", "BOX(0,0,100,100,1)", "",
     {{"x1", "X", "左上角x坐标"}, {"y1", "Y", "左上角y坐标"}, {"x2", "X", "右下角x坐标"}, {"y2", "Y", "右下角y坐标"}, {"c", "c", "颜色号"}}},
    {"BOXF", 1, 0, "实心方框:BOXF(x1,y1,x2,y2,c);", "BOXF(0,0,100,100,1)", "",
     {{"x1", "X", "左上角x坐标"}, {"y1", "Y", "左上角y坐标"}, {"x2", "X", "右下角x坐标"}, {"y2", "Y", "右下角y坐标"}, {"c", "c", "颜色号"}}},
    {"CIR", 3, 0, "画园:CIR(x1,y1,r,c);", "CIR(100,100,50,1)", "",
     {{"x1", "X", "圆心x坐标"}, {"y1", "Y", "圆心y坐标"}, {"r", "int", "半径"}, {"c", "c", "颜色号"}}},
    {"CIRF", 3, 0, "画实心园:CIRF(x1,y1,r,c);", "CIRF(100,100,50,1)", "",
     {{"x1", "X", "圆心x坐标"}, {"y1", "Y", "圆心y坐标"}, {"r", "int", "半径"}, {"c", "c", "颜色号"}}},
    {"SCC", 3, 2, "设置索引色:SCC(c,color);", "SCC(1,65535)", "",
     {{"c", "c", "颜色号"}, {"color", "color", "0~65535 64K颜色值"}}},
    {"SBC", 3, 2, "设置背景色:SBC(c);", "SBC(1)", "",
     {{"c", "c", "颜色号"}}},
    {"PS", 3, 0, "画点:PS(x1,y1,c);", "PS(0,0,1)", "",
     {{"x1", "X", "x坐标"}, {"y1", "Y", "y坐标"}, {"c", "c", "颜色号"}}},
    {"PL", 3, 0, "画线:PL(x1,y1,x2,y2,c);", "PL(0,0,100,100,1)", "",
     {{"x1", "X", "左上角x坐标"}, {"y1", "Y", "左上角y坐标"}, {"x2", "X", "右下角x坐标"}, {"y2", "Y", "右下角y坐标"}, {"c", "c", "颜色号"}}},
    {"ICON", 2, 3, "显示图标:ICON(x1,y1,pn,xn,yn,n);", "ICON(0,0,10,11,1,0);", "",
     {{"x1", "X", "左上角x坐标"}, {"y1", "Y", "左上角y坐标"}, {"pn", "pic", "第几幅图片"}, {"xn", "int", "这幅图片横向有几个图标"}, {"yn", "int", "这幅图片纵向有几个图标"}, {"n", "int", "显示第几个图标(编号先横后竖，从0开始依次编号)"}}},
    {"BPIC", 2, 3, "显示背景图:BPIC(m,x1,y1,pn);", "BPIC(1,0,0,1)", "",
     {{"m", "int", "背景图序号，每个界面允许8个背景图，0~7"}, {"x1", "X", "左上角x坐标"}, {"y1", "Y", "左上角y坐标"}, {"pn", "pic", "第几幅图片"}}},
    {"PLAB", 4, 3, "图片叠加标签:PABL(m,x1,y1,x2,str,c,ali,pn);", "PLAB(24,20,10,200,'24点阵汉字居中',15,1,1)", "以m号字在(x1,y1)~(x2,y1+m) 这个方框内以c为前景,pn号背景图为背景绘制字符串,可设置居左,居右还是居中",
     {{"m", "int", "字体号,可以是12,16,24,32,48,64 之间一种"}, {"x1", "X", "左上角x坐标"}, {"y1", "Y", "左上角y坐标"}, {"x2", "X", "右边界"}, {"str", "str", "要显示的字符串"}, {"c", "c", "颜色号"}, {"ali", "int", "=0 居左；=1居中；=2居右"}, {"pn", "int", "为 0~7 背景图编号，需要先用BPIC设置背景图才能叠加显示"}}},
    {"PS16", 2, 3, "叠加16点阵:PS16(m,x1,y1,str,c,lx);", "PS16(1,0,0,'要显示的字符串',1)", "",
     {{"m", "int", "背景图序号，每个界面允许8个背景图，0~7"}, {"x1", "X", "左上角x坐标"}, {"y1", "Y", "左上角y坐标"}, {"str", "str", "要显示的字符串"}, {"c", "c", "颜色号"}, {"lx", "X", "限制的右边框X位置,可省"}}},
    {"PS24", 2, 3, "叠加24点阵:PS24(m,x1,y1,str,c,lx);", "PS24(1,0,0,'要显示的字符串',1)", "",
     {{"m", "int", "背景图序号，每个界面允许8个背景图，0~7"}, {"x1", "X", "左上角x坐标"}, {"y1", "Y", "左上角y坐标"}, {"str", "str", "要显示的字符串"}, {"c", "c", "颜色号"}, {"lx", "X", "限制的右边框X位置,可省"}}},
    {"PS32", 2, 3, "叠加32点阵:PS32(m,x1,y1,str,c,lx);", "PS32(1,0,0,'要显示的字符串',1)", "",
     {{"m", "int", "背景图序号，每个界面允许8个背景图，0~7"}, {"x1", "X", "左上角x坐标"}, {"y1", "Y", "左上角y坐标"}, {"str", "str", "要显示的字符串"}, {"c", "c", "颜色号"}, {"lx", "X", "限制的右边框X位置,可省"}}},
    {"PS48", 2, 3, "叠加48点阵:PS48(m,x1,y1,str,c,lx);", "PS48(1,0,0,'要显示的字符串',1)", "",
     {{"m", "int", "背景图序号，每个界面允许8个背景图，0~7"}, {"x1", "X", "左上角x坐标"}, {"y1", "Y", "左上角y坐标"}, {"str", "str", "要显示的字符串"}, {"c", "c", "颜色号"}, {"lx", "X", "限制的右边框X位置,可省"}}},
    {"PS64", 2, 3, "叠加64点阵:PS64(m,x1,y1,str,c,lx);", "PS64(1,0,0,'要显示的字符串',1)", "",
     {{"m", "int", "背景图序号，每个界面允许8个背景图，0~7"}, {"x1", "X", "左上角x坐标"}, {"y1", "Y", "左上角y坐标"}, {"str", "str", "要显示的字符串"}, {"c", "c", "颜色号"}, {"lx", "X", "限制的右边框X位置,可省"}}},
    {"CBOX", 1, 0, "圆角空心方框:CBOX(x1,y1,x2,y2,r,c);", "CBOX(0,0,100,100,5,1)", "本语句是模拟显示",
     {{"x1", "X", "左上角x坐标"}, {"y1", "Y", "左上角y坐标"}, {"x2", "X", "右下角x坐标"}, {"y2", "Y", "右下角y坐标"}, {"r", "int", "圆角半径"}, {"c", "c", "颜色号"}}},
    {"CBOF", 1, 0, "圆角实心方框:CBOF(x1,y1,x2,y2,r,c);", "CBOF(0,0,100,100,5,1)", "本语句是模拟显示",
     {{"x1", "X", "左上角x坐标"}, {"y1", "Y", "左上角y坐标"}, {"x2", "X", "右下角x坐标"}, {"y2", "Y", "右下角y坐标"}, {"r", "int", "圆角半径"}, {"c", "c", "颜色号"}}},
    {"W8BF", 1, 7, "Win8方框:W8BF(x1,y1,x2,y2,cn);", "W8BF(0,0,100,100,1)", "",
     {{"x1", "X", "左上角x坐标"}, {"y1", "Y", "左上角y坐标"}, {"x2", "X", "右下角x坐标"}, {"y2", "Y", "右下角y坐标"}, {"cn", "int", "方案号(1~9)"}}},
    {"CPIC", 5, 3, "切割图片显示:CPIC(x1,y1,pn,px1,py1,w,h);", "CPIC(0,0,1,100,100,80,80)", "",
     {{"x1", "X", "左上角x坐标"}, {"y1", "Y", "左上角y坐标"}, {"pn", "pic", "第几幅图片"}, {"px1", "int", "图片切割原点X坐标"}, {"py1", "int", "图片切割原点Y坐标"}, {"w", "int", "切割区域宽度"}, {"h", "int", "切割区域高度"}}},
    {"DQX", 2, 4, "曲线设置:DQX(x1,y1,xp,yn,xn,yp);", "DQX(0,0,10,10,10,10)", "【曲线为模拟显示】xn*xp 即为曲线控件的总宽度，总宽度不能超过400点（早期的版本时256点）；yp*yn是曲线控件的总高度，总高度不能超过255点；",
     {{"x1", "X", "左上角x坐标"}, {"y1", "Y", "左上角y坐标"}, {"xp", "int", "曲线横向每个格宽度"}, {"yn", "int", "曲线纵向有多少个格"}, {"xn", "int", "横向有多少格"}, {"yp", "int", "每个格子的高度"}}},
    {"RQX", 3, 4, "刷新曲线:RQX;", "RQX", "",
     {}},
    {"Qn", 3, 4, "送数据:Qn;", "Q128", "n：曲线的数据点（0~255），其中128代表曲线的中线 ；Q0代表振幅最高，在最上面；Q128在中间，Q255代表振幅最低在最下面",
     {}},
    {"Sn", 3, 4, "送数据且刷新:Sn;", "S128", "n：曲线的数据点（0~255），其中128代表曲线的中线 ；Q0代表振幅最高，在最上面；Q128在中间，Q255代表振幅最低在最下面",
     {}},
    {"MENU", 2, 5, "菜单初始化:MENU(x1,y1,w,h,pw,ax1,ax2,hzm,yn,max,pg,go);", "MENU(20,0,180,30,24,10,50,16,8,7,127,1)", "",
     {{"x1", "X", "左上角x坐标"}, {"y1", "Y", "左上角y坐标"}, {"w", "int", "菜单的总宽"}, {"h", "int", "每行菜单的高"}, {"pw", "int", "图标的高度和宽度"}, {"ax1", "int", "图标距左边框的距离"}, {"ax2", "int", "菜单文字距左边框的距离"}, {"hzm", "int", "使用何等点阵显示汉字，只能是16、24、32汉字点数值"}, {"yn", "int", "预留"}, {"max", "int", "菜单项数"}, {"pg", "int", "存放菜单自相的批界面页号"}, {"go", "int", "预留，设置为1即可"}}},
    {"MSHW", 3, 5, "刷新菜单显示:MSHW;", "MSHW", "",
     {}},
    {"MSET", 3, 5, "选择菜单项:MSET(n);", "MSET(4)", "",
     {{"n", "int", "菜单项，第一项对应的编号为0"}}},
    {"MDF", 3, 5, "定义菜单项:MDF(n,pn,str);", "MDF(1,18,'返回')", "",
     {{"n", "int", "菜单项，第一项对应的编号为0"}, {"pn", "pic", "菜单子项对应的图标图片号"}, {"str", "str", "菜单子项标题"}}},
    {"TPST", 3, 6, "触摸屏校准:TPST(w,h);", "TPST(400,240)", "此语句辅助设计无处理",
     {{"w", "int", "触摸屏X方向分辨率"}, {"h", "int", "触摸屏y方向分辨率"}}},
    {"TPN", 3, 6, "触摸屏模式:TPN(n);", "TPN(0)", "此语句辅助设计无处理",
     {{"n", "int", "=0关闭触摸反馈；=1 反馈点阵坐标；=2反馈按钮热区编号；=3开启触摸反馈，但不反馈信息"}}},
    {"TPOW", 3, 6, "画笔测试:TPOW(c);", "TPOW(1)", "此语句辅助设计无处理",
     {{"c", "c", "画笔颜色，=255表示关闭画笔"}}},
    {"BTN", 1, 6, "按钮热区:BTN(n,x1,y1,x2,y2,t,asc);", "BTN(1,10,10,110,110,3)", "",
     {{"n", "int", "区域编号 0~31 最多支持32个热点区域"}, {"x1", "X", "左上角x坐标"}, {"y1", "Y", "左上角y坐标"}, {"x2", "X", "右下角x坐标"}, {"y2", "Y", "右下角y坐标"}, {"t", "int", "显示类型;=0 无显示；=1细线方框；=2细线按钮 =3粗线方框 =4粗线按钮"}, {"asc", "asc", "按钮键码"}}},
    {"TICN", 3, 6, "定义按钮图标:TICN(pn,xn,yn);", "TICN(11,10,10)", "",
     {{"pn", "pic", "按钮图标集对应的图片号"}, {"xn", "int", "图标集横向有几个图标"}, {"yn", "int", "图标集纵向有几个图标"}}},
    {"BICN", 2, 6, "图标热区:BICN(n,x1,y1,n1,n2,asc);", "BICN(1,10,10,1,11)", "",
     {{"n", "int", "区域编号 0~31 最多支持32个热点区域"}, {"x1", "X", "左上角x坐标"}, {"y1", "Y", "左上角y坐标"}, {"n1", "int", "未按下时的图标序号"}, {"n2", "int", "按下时的图标序号"}, {"asc", "asc", "按钮键码"}}},
    {"TSIN", 2, 6, "组态键盘显示:TSIN(hzm,x1,y1,limitX,long,t,c);", "TSIN(16,10,10,300,15,1,1)", "",
     {{"hzm", "int", "字符的显示大小，必须是16/24/32/48/64"}, {"x1", "X", "左上角x坐标"}, {"y1", "Y", "左上角y坐标"}, {"limitX", "X", "缓冲区的右侧X坐标"}, {"long", "int", "缓冲区的字符长度 最大15"}, {"t", "int", "输入模式 =0 关闭无输入；=1输入的是数字，只允许数字和一个小数点；=2输入的是字符串"}, {"c", "c", "显示颜色"}}},
    {"PBTN", 2, 6, "切图热区:PBTN(n,x1,y1,w,h,bp1,bp2,asc);", "PBTN(1,10,10,80,80,1,2)", "",
     {{"n", "int", "区域编号 0~31 最多支持32个热点区域"}, {"x1", "X", "左上角x坐标"}, {"y1", "Y", "左上角y坐标"}, {"w", "int", "切图区域宽度"}, {"h", "int", "切图区域高度"}, {"bp1", "int", "未按下时，BPIC定义的背景图号"}, {"bp2", "int", "按下时，BPIC定义的背景图号"}, {"asc", "asc", "按钮键码"}}},
    {"TERM", 3, 9, "进入终端模式:TERM;", "TERM", "无模拟显示",
     {}},
    {"SPG", 3, 9, "显示批界面:SPG(n);", "SPG(1)", "无模拟显示",
     {{"n", "int", "批界面编号"}}},
    {"DRn", 3, 9, "设置显示方向:DRn;", "DR0", "无模拟显示",
     {{"n", "int", "0~3对应4个方向"}}},
    {"INF", 3, 9, "传出硬件参数:INF;", "INF", "无模拟显示",
     {}},
    {"SNF", 3, 9, "显示硬件参数:SNF(x1,y1);", "SNF(0,0)", "无模拟显示",
     {{"x1", "X", "x坐标"}, {"y1", "Y", "y坐标"}}},
    {"SXY", 3, 9, "显示偏移设置:SXY(x1,y1);", "SXY(160,120)", "无模拟显示",
     {{"x1", "X", "x坐标"}, {"y1", "Y", "y坐标"}}},
    {"SEBL", 3, 9, "设置背光亮度:SEBL(n);", "SEBL(100)", "无模拟显示",
     {{"n", "int", "0 关背光   1-最暗  100最亮  设置后，断电保持不变"}}},
};
// clang-format on

TEST(Catalogue, EveryEntryHoldsItsFields) {
  const Tcmd cmd;
  ASSERT_EQ(kRows.size(), 55u);
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(cmd.BoxKind(row.name), row.boxKind);
    EXPECT_EQ(cmd.SyntaxLine(row.name), Gbk(row.syntax));
    EXPECT_EQ(cmd.DefaultStatement(row.name), Gbk(row.defaultStatement));
    EXPECT_EQ(cmd.Remark(row.name), Gbk(row.remark));
    std::string list;
    for (const Param& p : row.parameters) {
      if (!list.empty()) list += "\r\n";
      list += Gbk(std::string(p.name) + ":" + p.kind + ":" + p.description);
    }
    EXPECT_EQ(cmd.ParameterList(row.name), list);
    EXPECT_EQ(cmd.CategoryOf(row.name), row.category);
    const std::vector<CatalogueParameter> parameters = cmd.Parameters(row.name);
    ASSERT_EQ(parameters.size(), row.parameters.size());
    for (size_t i = 0; i < parameters.size(); ++i) {
      EXPECT_EQ(parameters[i].Name, row.parameters[i].name);
      EXPECT_EQ(parameters[i].Kind, row.parameters[i].kind);
      EXPECT_EQ(parameters[i].Description, Gbk(row.parameters[i].description));
    }
  }
}

TEST(Catalogue, PaletteKeepsTheOrderOfAdditionPerCategory) {
  const Tcmd cmd;
  const std::vector<std::string> captions = {"基本绘图指令", "汉字显示指令", "颜色相关指令", "图形与汉字叠加",
                                             "曲线相关指令", "菜单相关指令", "触摸相关指令", "win8相关指令",
                                             "表格相关指令", "系统相关指令"};
  std::vector<std::vector<std::string>> expected(Tcmd::CategorySlots);
  for (const Row& row : kRows) {
    const std::string syntax = row.syntax;
    expected[row.category].push_back(syntax.substr(0, syntax.find(':') + 1) + row.name);
  }
  for (int i = 0; i < Tcmd::CategorySlots; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(cmd.CategoryCaption(i), i < 10 ? Gbk(captions[i]) : "");
    ASSERT_EQ(cmd.CategoryCount(i), static_cast<int>(expected[i].size()));
    for (int k = 0; k < cmd.CategoryCount(i); ++k) EXPECT_EQ(cmd.CategoryItem(i, k), Gbk(expected[i][k]));
  }
  EXPECT_EQ(cmd.CategoryCount(8), 0);
  EXPECT_EQ(cmd.CategoryCount(9), 7);
  EXPECT_EQ(cmd.CategoryItem(0, 0), Gbk("清屏:CLS"));
  // The caption takes the entry's name, not the syntax line's "PABL".
  EXPECT_EQ(cmd.CategoryItem(3, 3), Gbk("图片叠加标签:PLAB"));
  // Out of range asks give nothing.
  EXPECT_EQ(cmd.CategoryItem(0, 9), "");
  EXPECT_EQ(cmd.CategoryItem(-1, 0), "");
  EXPECT_EQ(cmd.CategoryCaption(20), "");
  EXPECT_EQ(cmd.CategoryCount(20), 0);
}

TEST(Catalogue, NamesWithoutAnEntryGiveNothing) {
  const Tcmd cmd;
  for (const char* name : {"box", "Q128", "W8UE", "", "BOX "}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(cmd.BoxKind(name), 0);
    EXPECT_EQ(cmd.SyntaxLine(name), "");
    EXPECT_EQ(cmd.DefaultStatement(name), "");
    EXPECT_EQ(cmd.Remark(name), "");
    EXPECT_EQ(cmd.ParameterList(name), "");
    EXPECT_TRUE(cmd.Parameters(name).empty());
    EXPECT_EQ(cmd.CategoryOf(name), -1);
  }
}

TEST(Catalogue, AddEntryOverwritesFieldsAndAddsACaptionEachTime) {
  Tcmd cmd;
  cmd.AddEntry(2, 8, "TAB", "no colon here", "TAB(1)", "a:int:x:y|b:c:", "r");
  cmd.AddEntry(5, 8, "TAB", Gbk("表格:TAB(a,b);"), "TAB(2)", "", "");
  EXPECT_EQ(cmd.CategoryCount(8), 2);
  EXPECT_EQ(cmd.CategoryItem(8, 0), "TAB");
  EXPECT_EQ(cmd.CategoryItem(8, 1), Gbk("表格:TAB"));
  EXPECT_EQ(cmd.BoxKind("TAB"), 5);
  EXPECT_EQ(cmd.DefaultStatement("TAB"), "TAB(2)");
  EXPECT_EQ(cmd.ParameterList("TAB"), "");
  EXPECT_THROW(cmd.AddEntry(1, 20, "X", "", "", "", ""), std::out_of_range);
  // Rebuilding starts the palette afresh.
  cmd.OriginX = 7;
  cmd.BuildCatalogue();
  EXPECT_EQ(cmd.CategoryCount(8), 0);
  EXPECT_EQ(cmd.OriginX, 0);
}

TEST(Catalogue, ParameterLinesSplitAtTheirFirstTwoColons) {
  Tcmd cmd;
  cmd.AddEntry(3, 8, "TAB", "", "", "a:int:x:y|b:c:|c", "");
  const std::vector<CatalogueParameter> p = cmd.Parameters("TAB");
  ASSERT_EQ(p.size(), 3u);
  EXPECT_EQ(p[0].Kind, "int");
  EXPECT_EQ(p[0].Description, "x:y");
  EXPECT_EQ(p[1].Kind, "c");
  EXPECT_EQ(p[1].Description, "");
  EXPECT_EQ(p[2].Name, "c");
  EXPECT_EQ(p[2].Kind, "");
}

}  // namespace
}  // namespace panelcraft
