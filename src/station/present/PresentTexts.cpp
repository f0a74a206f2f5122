#include "station/present/PresentTexts.h"

namespace mw {
namespace {

constexpr std::array<const char*, 10> kGeneralInstructions = {
    " Your answers will help staff understand your needs. Please answer items truthfully. Read "
    "each item slowly. For each item, choose the answer that is true for you.",
    "",
    " Use the Down Arrow key to highlight the answer you choose, then press the Enter key. An "
    "answer is highlighted when it has light blue around it. The Up and Down Arrow keys change "
    "the answer. The Tab key repeats the item.",
    "",
    " In this test, drinking means drinking any alcohol: beer, wine or liquor. Drugs means street "
    "drugs, such as marijuana, cocaine, crack, methamphetamine, heroin or fentanyl. Drugs also "
    "means pills, such as pain pills or sleeping pills, taken without a prescription or in larger "
    "amounts than prescribed.",
    "",
    " If you need help, ask the testing supervisor.",
    "",
    "",
    " Press the Enter key to begin."};
constexpr std::array<const char*, 8> kSection1Instructions = {
    "Section 1",
    "",
    " The statements in this section must be answered TRUE or FALSE.",
    "",
    " If an item is true for you, highlight \"True\". If it is false for you, highlight "
    "\"False\".",
    " Then press Enter.",
    "",
    " Press Enter to begin."};
constexpr std::array<const char*, 14> kSection2Instructions = {
    "Section 2",
    "",
    " The next  series of  statements contain items you  should rate to describe yourself. "
    "Rate each item by how often it is true for you.",
    "",
    " The four ratings are:",
    "      Rare or Never",
    "      Sometimes",
    "      Often",
    "      Very Often or Always",
    "",
    " Highlight the answer you select, then press Enter. ",
    "",
    "",
    " Press Enter to begin."};
constexpr std::array<const char*, 17> kSection3Instructions = {
    "Section 3",
    "",
    "Each of the following items consists of a pair of opposite terms that you are "
    "to rate yourself on. Rate yourself as you are now, not as you were in the past or as you "
    "would like to be.",
    "",
    " For example, the pair could be Careful, Careless. The five answers would be:",
    "      Very Often Careful",
    "      Often Careful",
    "      Can't Decide",
    "      Often Careless",
    "      Very Often Careless",
    "",
    " Choose Very Often Careful if you are careful very often. Choose Often Careful if you are "
    "careful often. Choose Can't Decide if you cannot decide between the two terms. Choose "
    "Often Careless if you are careless often. Choose Very Often Careless if you are careless "
    "very often.",
    "",
    " Highlight the answer you select, then press Enter.",
    "",
    "",
    "     Press Enter to begin."};
constexpr std::array<const char*, 8> kSection4Instructions = {
    "Section 4",
    "",
    " Select the answer that is accurate for you. ",
    "",
    " Highlight the answer you select, then press Enter. ",
    "",
    "",
    " Press Enter to begin."};

constexpr PresentTexts kEnglish = {
    .caption = "Question Presentation",
    .instructionsFrame = "Instructions",
    .questionFrame = "Question",
    .answerFrame = "Choose Answer",
    .instructions = {kGeneralInstructions, kSection1Instructions, kSection2Instructions,
                     kSection3Instructions, kSection4Instructions},
    .instructionsHelp = "When ready press Enter to continue.",
    .answerKeyHelp =
        "Use Up or Down arrow keys to highlight answer, then press Enter. Press F10 "
        "for previous question.",
    .answerHelp =
        "Press enter to select this answer. Press Tab or Arrows to hear question "
        "again. Press F10 for previous question.",
    .answerHelpSilent = "Press enter to select this answer. Press F10 for previous question.",
    .testEndedHelp = "Press Enter to continue.",
    .noteTitle = "Presentation Note",
    .sectionNote = "You have completed this part of the test. Press Enter to continue.",
    .finalNote =
        "You have completed the test. Thank you for your participation.\n\nPress "
        "Enter to continue.",
    .notSaved =
        " The answers have not been saved yet. Please ask the testing supervisor for "
        "help.",
    .beginTest = "Press the Enter key to begin the test.",
    .beginTestHelp = "Press the Enter key to continue.",
    .largeTypeChoice = "&Large type for this test",
    .soundTitle = "Sound",
    .soundNote = "A sound could not be played. You can go on with the test.",
};

constexpr std::array<const char*, 10> kGeneralInstructionsSpanish = {
    " Sus respuestas ayudarán al personal a entender sus necesidades. Por favor, conteste cada "
    "pregunta con la verdad. Lea cada pregunta despacio. Para cada pregunta, escoja la respuesta "
    "que sea cierta para usted.",
    "",
    " Use la tecla de Flecha Hacia Abajo para iluminar la respuesta que escoja y luego oprima la "
    "tecla «Enter». Una respuesta está iluminada cuando tiene color azul claro alrededor. Las "
    "teclas de Flecha Hacia Arriba y Hacia Abajo cambian la respuesta. La tecla «Tab» repite la "
    "pregunta.",
    "",
    " En esta prueba, beber quiere decir tomar cualquier bebida con alcohol: cerveza, vino o "
    "licor. Drogas quiere decir drogas de la calle, como marihuana, cocaína, crack, "
    "metanfetamina, heroína o fentanilo. Drogas también quiere decir pastillas, como pastillas "
    "para el dolor o para dormir, tomadas sin receta o en mayor cantidad de la recetada.",
    "",
    " Si necesita ayuda, pídasela a la persona encargada de la prueba.",
    "",
    "",
    " Oprima la tecla «Enter» para empezar."};
constexpr std::array<const char*, 8> kSection1InstructionsSpanish = {
    "Sección 1",
    "",
    " Las preguntas de esta sección se deben contestar con VERDADERO o FALSO.",
    "",
    " Si lo que dice la pregunta es cierto para usted, ilumine «Verdadero». Si no es cierto para "
    "usted, ilumine «Falso».",
    " Luego oprima «Enter».",
    "",
    " Oprima «Enter» para empezar."};
constexpr std::array<const char*, 14> kSection2InstructionsSpanish = {
    "Sección 2",
    "",
    " En las siguientes preguntas, usted debe calificarse para describirse. Califique cada "
    "pregunta según la frecuencia con que lo que dice es cierto para usted.",
    "",
    " Las cuatro calificaciones son:",
    "      Rara vez o nunca",
    "      A veces",
    "      A menudo",
    "      Muy a menudo o siempre",
    "",
    " Ilumine la respuesta que escoja y luego oprima «Enter».",
    "",
    "",
    " Oprima «Enter» para empezar."};
constexpr std::array<const char*, 17> kSection3InstructionsSpanish = {
    "Sección 3",
    "",
    "Cada una de las siguientes preguntas es un par de términos opuestos, y usted debe "
    "calificarse en cada par. Califíquese según cómo es usted ahora, no según cómo era antes ni "
    "cómo le gustaría ser.",
    "",
    " Por ejemplo, el par podría ser: Con cuidado, Sin cuidado. Las cinco respuestas serían:",
    "      Muy a menudo con cuidado",
    "      A menudo con cuidado",
    "      No puedo decidirme",
    "      A menudo sin cuidado",
    "      Muy a menudo sin cuidado",
    "",
    " Escoja «Muy a menudo con cuidado» si usted actúa con cuidado muy a menudo. Escoja «A menudo "
    "con cuidado» si usted actúa con cuidado a menudo. Escoja «No puedo decidirme» si no puede "
    "decidir entre los dos términos. Escoja «A menudo sin cuidado» si usted actúa sin cuidado a "
    "menudo. Escoja «Muy a menudo sin cuidado» si usted actúa sin cuidado muy a menudo.",
    "",
    " Ilumine la respuesta que escoja y luego oprima «Enter».",
    "",
    "",
    "     Oprima «Enter» para empezar."};
constexpr std::array<const char*, 8> kSection4InstructionsSpanish = {
    "Sección 4",
    "",
    " Escoja la respuesta que sea cierta para usted.",
    "",
    " Ilumine la respuesta que escoja y luego oprima «Enter».",
    "",
    "",
    " Oprima «Enter» para empezar."};

constexpr PresentTexts kSpanish = {
    .caption = "Presentación de preguntas",
    .instructionsFrame = "Instrucciones",
    .questionFrame = "Pregunta",
    .answerFrame = "Escoja su respuesta",
    .instructions = {kGeneralInstructionsSpanish, kSection1InstructionsSpanish,
                     kSection2InstructionsSpanish, kSection3InstructionsSpanish,
                     kSection4InstructionsSpanish},
    .instructionsHelp = "Oprima la tecla «Enter» para seguir.",
    .answerKeyHelp =
        "Oprima las teclas de flechas Hacia Arriba o Hacia Abajo para iluminar su "
        "respuesta. Luego oprima la tecla «Enter». Oprima la tecla «F10» para ver la "
        "pregunta anterior.",
    .answerHelp =
        "Oprima la tecla «Enter» para escoger esta respuesta. Oprima la tecla «Tab» o "
        "las flechas para oír la pregunta otra vez. Oprima la tecla «F10» para ver la "
        "pregunta anterior.",
    .answerHelpSilent =
        "Oprima la tecla «Enter» para escoger esta respuesta. Oprima la tecla "
        "«F10» para ver la pregunta anterior.",
    .testEndedHelp = "Oprima la tecla «Enter» para seguir.",
    .noteTitle = "Nota de Presentación",
    .sectionNote =
        "Usted ha terminado esta parte de la prueba. Oprima la tecla «Enter» para "
        "seguir.",
    .finalNote =
        "Usted ha terminado la prueba. Se le agradece su participación.\n\nOprima la "
        "tecla «Enter» para terminar.",
    .notSaved =
        " Sus respuestas todavía no se han guardado. Por favor, pida ayuda a la persona "
        "encargada de la prueba.",
    .beginTest = "Oprima la tecla «Enter» para empezar la prueba.",
    .beginTestHelp = "Oprima la tecla «Enter» para seguir.",
    .largeTypeChoice = "&Letra grande para esta prueba",
    .soundTitle = "Sonido",
    .soundNote = "No se pudo reproducir un sonido. Puede seguir con la prueba.",
};

}  // namespace

const PresentTexts& TextsFor(const QString& language) {
    return language.toUpper() == QStringLiteral("SPANISH") ? kSpanish : kEnglish;
}

}  // namespace mw
