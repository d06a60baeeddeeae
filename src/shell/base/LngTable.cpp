// The built-in text table: key and French text of every entry, in table order.
// The last pair of two empty strings ends the table.
#include "shell/base/LngTable.h"

const LngTableEntry LngTable[L_Count + 1] = {
    {"Audio_InPause", "En pause"},                                      // L_Audio_InPause
    {"Audio_Playing", "Lecture"},                                       // L_Audio_Playing
    {"Audio_File", "Fichier"},                                          // L_Audio_File
    {"Audio_Podcast", "Podcast"},                                       // L_Audio_Podcast
    {"Audio_Radio", "Radio"},                                           // L_Audio_Radio
    {"Button_Browse", "Parcourir"},                                     // L_Button_Browse
    {"Button_Cancel", "&Annuler"},                                      // L_Button_Cancel
    {"Button_Del", "Supprimer"},                                        // L_Button_Del
    {"Button_MoveToObsolete", "Déplacer vers obsolète"},                // L_Button_MoveToObsolete
    {"Button_Ini", "Initialiser"},                                      // L_Button_Ini
    {"Button_Ok", "Ok"},                                                // L_Button_Ok
    {"Button_ImportAll", "Importer tout"},                              // L_Button_ImportAll
    {"Button_Import", "Importer"},                                      // L_Button_Import
    {"Button_Add", "Ajouter"},                                          // L_Button_Add
    {"Button_Export", "Exporter"},                                      // L_Button_Export
    {"Button_No", "Non"},                                               // L_Button_No
    {"Button_Quit", "Quitter"},                                         // L_Button_Quit
    {"Button_SelectAll", "Sélectionner les %s1% flux"},                 // L_Button_SelectAll
    {"Button_SelectGroup", "Sélectionner tous les flux du groupe"},     // L_Button_SelectGroup
    {"Button_Set", "Valider"},                                          // L_Button_Set
    {"Button_UnSelectAll", "Desélectionner les %s1% flux"},             // L_Button_UnSelectAll
    {"Button_UnSelectGroup", "Desélectionner tous les flux du groupe"}, // L_Button_UnSelectGroup
    {"Button_Yes", "Oui"},                                              // L_Button_Yes
    {"Button_Site", "Site"},                                            // L_Button_Site
    {"ContentRss_All", "Tous les contenus de flux"},                    // L_ContentRss_All
    {"ContentRss_Undefined", "Flux Indéfini"},                          // L_ContentRss_Undefined
    {"ContentRss_Text", "Flux de Texte"},                               // L_ContentRss_Text
    {"ContentRss_", "Flux de Podcast"},                                 // L_ContentRss_
    {"ContentRss_CatchTV", "Flux de Ratrapage-TV"},                     // L_ContentRss_CatchTV
    {"ContentRss_NetRadio", "Flux de Radio"},                           // L_ContentRss_NetRadio
    {"ContentRss_YouTube", "Flux YouTube"},                             // L_ContentRss_YouTube
    {"ContentRss_DailyMotion", "Flux DailyMotion"},                     // L_ContentRss_DailyMotion
    {"ContentRss_NetTV", "Flux de Télévision"},                         // L_ContentRss_NetTV
    {"ContentRss_File", "Flux de fichier"},                             // L_ContentRss_File
    {"Day_Mon", "Lundi"},                                               // L_Day_Mon
    {"Day_Tue", "Mardi"},                                               // L_Day_Tue
    {"Day_Wed", "Mercredi"},                                            // L_Day_Wed
    {"Day_Thu", "Jeudi"},                                               // L_Day_Thu
    {"Day_Fri", "Vendredi"},                                            // L_Day_Fri
    {"Day_Sat", "Samedi"},                                              // L_Day_Sat
    {"Day_Sun", "Dimanche"},                                            // L_Day_Sun
    {"EditRss_Button_CheckUrl", "Vérifier l'adresse"},                  // L_EditRss_Button_CheckUrl
    {"EditRss_Button_CheckPlugIn", "Paramètrer le Plug-In"}, // L_EditRss_Button_CheckPlugIn
    {"EditRss_PubDate", "Date de publication"},              // L_EditRss_PubDate
    {"EditRss_CheckBox_AlarmNewFeed",
     "Alerte pour les nouveaux articles"}, // L_EditRss_CheckBox_AlarmNewFeed
    {"EditRss_CheckBox_PriorityToActualize",
     "Actualisation prioritaire"}, // L_EditRss_CheckBox_PriorityToActualize
    {"EditRss_CheckBox_AddToPodcastList",
     "Ajouter au menu des podcasts non lus"}, // L_EditRss_CheckBox_AddToPodcastList
    {"EditRss_CheckBox_DelOldPodcast",
     "Supprimer les anciens podcasts"}, // L_EditRss_CheckBox_DelOldPodcast
    {"EditRss_CheckBox_ActualizeOnStart",
     "Actualiser au démarrage"},                           // L_EditRss_CheckBox_ActualizeOnStart
    {"EditRss_CheckBox_DisableRss", "Désactiver le flux"}, // L_EditRss_CheckBox_DisableRss
    {"EditRss_CheckBox_NoShare",
     "Ne pas partager dans la banque de flux"},        // L_EditRss_CheckBox_NoShare
    {"EditRss_CheckBox_DisableRss", "Flux désactivé"}, // L_EditRss_CheckBox_DisableRss2
    {"EditRss_CheckBox_SetUpdatedFeedAsUnReaded",
     "Marquer comme non lu les articles modifiés"}, // L_EditRss_CheckBox_SetUpdatedFeedAsUnReaded
    {"EditRss_CheckBox_RemoveDuplicate",
     "Supprimer les articles en double"},                 // L_EditRss_CheckBox_RemoveDuplicate
    {"EditRss_Combo_ExtractTextA", "Extraction article"}, // L_EditRss_Combo_ExtractTextA
    {"EditRss_Combo_FormatExtractTexA",
     "Format du texte extrait"},               // L_EditRss_Combo_FormatExtractTexA
    {"EditRss_ContentRss", "Contenu du flux"}, // L_EditRss_ContentRss
    {"EditRss_Combo_Group", "Groupe "},        // L_EditRss_Combo_Group
    {"EditRss_Combo_Type", "Type de flux "},   // L_EditRss_Combo_Type
    {"EditRss_Desc_Desc", "Description"},      // L_EditRss_Desc_Desc
    {"EditRss_Error_NoWindow",
     "Une erreur c'est produite durant la création de la fenêtre"}, // L_EditRss_Error_NoWindow
    {"EditRss_Lang", "Langue "},                                    // L_EditRss_Lang
    {"EditRss_Panel_Config", "Configuration"},                      // L_EditRss_Panel_Config
    {"EditRss_Panel_ExtractText", "Extraction du texte"},           // L_EditRss_Panel_ExtractText
    {"EditRss_Panel_PodCast", "Podcast"},                           // L_EditRss_Panel_PodCast
    {"EditRss_Panel_Rss", "Flux"},                                  // L_EditRss_Panel_Rss
    {"EditRss_Spin_MaxFeed", "Nombre maximum d'articles"},          // L_EditRss_Spin_MaxFeed
    {"EditRss_Spin_NbPodCastDownloadedOnStart",
     "Nombre de podcasts téléchargés automatiquement"}, // L_EditRss_Spin_NbPodCastDownloadedOnStart
    {"EditRss_Spin_NbPodCastSync",
     "Nombre de podcasts à synchroniser"},                      // L_EditRss_Spin_NbPodCastSync
    {"EditRss_Spin_ReActualize", "Intervalle d'actualisation"}, // L_EditRss_Spin_ReActualize
    {"EditRss_String_CustomPodcastFile",
     "Masque des fichiers podcast"},                       // L_EditRss_String_CustomPodcastFile
    {"EditRss_String_Name", "Nom "},                       // L_EditRss_String_Name
    {"EditRss_String_Search", "Recherche "},               // L_EditRss_String_Search
    {"EditRss_String_PodPath", "Sous-dossier de podcast"}, // L_EditRss_String_PodPath
    {"EditRss_String_Url", "Adresse "},                    // L_EditRss_String_Url
    {"EditRss_Title_Edit", "Propriété du flux : "},        // L_EditRss_Title_Edit
    {"EditRss_Title_New", "Propriété du nouveau flux"},    // L_EditRss_Title_New
    {"Filter_SaveFileText",
     "Fichier encodé en UTF8|*.txt|Fichier encodé en ANSI|*.Txt"},     // L_Filter_SaveFileText
    {"Key_NoKey", "Pas de touche"},                                    // L_Key_NoKey
    {"Key_Alt", "Alt"},                                                // L_Key_Alt
    {"Key_Control", "Control"},                                        // L_Key_Control
    {"Key_Del", "Suppr"},                                              // L_Key_Del
    {"Key_Shift", "Maj"},                                              // L_Key_Shift
    {"Key_Return", "Entrée"},                                          // L_Key_Return
    {"Key_Space", "Espace"},                                           // L_Key_Space
    {"Key_Left", "Gauche"},                                            // L_Key_Left
    {"Key_Right", "Droit"},                                            // L_Key_Right
    {"Key_Up", "Haut"},                                                // L_Key_Up
    {"Key_Down", "Bas"},                                               // L_Key_Down
    {"Key_Escape", "Echap"},                                           // L_Key_Escape
    {"Key_Win", "Window"},                                             // L_Key_Win
    {"Key_Back", "RetourArrière"},                                     // L_Key_Back
    {"Key_Tab", "Tab"},                                                // L_Key_Tab
    {"Key_Clear", "Clear"},                                            // L_Key_Clear
    {"Key_Menu", "Menu"},                                              // L_Key_Menu
    {"Key_Pause", "Pause"},                                            // L_Key_Pause
    {"Key_Print", "Imprimer"},                                         // L_Key_Print
    {"Key_Capital", "Majuscule"},                                      // L_Key_Capital
    {"Key_Prior", "Précédent"},                                        // L_Key_Prior
    {"Key_Next", "Suivant"},                                           // L_Key_Next
    {"Key_End", "Fin"},                                                // L_Key_End
    {"Key_Home", "Origine"},                                           // L_Key_Home
    {"Key_Select", "Select"},                                          // L_Key_Select
    {"Key_Execute", "Execute"},                                        // L_Key_Execute
    {"Key_SnapShot", "ImprimeEcran"},                                  // L_Key_SnapShot
    {"Key_Insert", "Insert"},                                          // L_Key_Insert
    {"Key_Delete", "Supprime"},                                        // L_Key_Delete
    {"Key_Help", "Aide"},                                              // L_Key_Help
    {"Key_Apps", "Application"},                                       // L_Key_Apps
    {"Key_Multiply", "Multiplication"},                                // L_Key_Multiply
    {"Key_Add", "Plus"},                                               // L_Key_Add
    {"Key_Separator", "Séparateur"},                                   // L_Key_Separator
    {"Key_Subtract", "Moins"},                                         // L_Key_Subtract
    {"Key_Decimal", "Point"},                                          // L_Key_Decimal
    {"Key_Divide", "Division"},                                        // L_Key_Divide
    {"Key_NumLck", "VérrouillageNumérique"},                           // L_Key_NumLck
    {"Key_Scroll", "ArrêtDéfil"},                                      // L_Key_Scroll
    {"Main_ListIcon_Name", "Nom"},                                     // L_Main_ListIcon_Name
    {"Main_ListIcon_Date", "Date"},                                    // L_Main_ListIcon_Date
    {"Main_ListIcon_Duration", "Durée"},                               // L_Main_ListIcon_Duration
    {"Main_ListIcon_Source", "De"},                                    // L_Main_ListIcon_Source
    {"Main_ListIcon_Size", "Taille fichier associé"},                  // L_Main_ListIcon_Size
    {"Mark_AlarmRss", "Avec alerte"},                                  // L_Mark_AlarmRss
    {"Mark_AutoPodcast", "AutoPodcast"},                               // L_Mark_AutoPodcast
    {"Mark_DisabledRss", "Désactivé"},                                 // L_Mark_DisabledRss
    {"Mark_Readed", "Lu"},                                             // L_Mark_Readed
    {"Mark_UnReaded", "Non lu"},                                       // L_Mark_UnReaded
    {"Mark_WithPodcast", "Avec podcast"},                              // L_Mark_WithPodcast
    {"Msg_FeedNotRefreshed", "Erreur durant l'actualisation de %s1%"}, // L_Msg_FeedNotRefreshed
    {"Msg_FeedRefreshed", "%s1% actualisé !"},                         // L_Msg_FeedRefreshed
    {"Msg_FeedRefreshedNew", "%s1% actualisé, %S2% nouveaux articles !"}, // L_Msg_FeedRefreshedNew
    {"Msg_Config", "Fichier de config"},                                  // L_Msg_Config
    {"Msg_ConfigSelect", "Le chargement d'un fichier de config va écraser tous les paramètres et "
                         "liste de flux actuel !"},                 // L_Msg_ConfigSelect
    {"Msg_ConfigSaveError", "Le fichier n'a pas été enregistré !"}, // L_Msg_ConfigSaveError
    {"Msg_ConfigLoadError", "Une erreur s'est produite durant le chargement de la configuration "
                            "!"},                              // L_Msg_ConfigLoadError
    {"Msg_ConfigLoadOk", "La configuration a été chargé !"},   // L_Msg_ConfigLoadOk
    {"Msg_NoKeySelected", "Veuillez sélectionner une touche"}, // L_Msg_NoKeySelected
    {"Msg_AllPodcastDownloaded",
     "Tous les fichiers podcast sont téléchargés !"}, // L_Msg_AllPodcastDownloaded
    {"Msg_AllGroupExported",
     "Les %s1% groupes ont été exportés correctement !"}, // L_Msg_AllGroupExported
    {"Msg_AllGoodRss", "Tout les flux sont valides !"},   // L_Msg_AllGoodRss
    {"Msg_BadRssPodcastPath",
     "Le nom du sous-dossier de podcast est invalide !"}, // L_Msg_BadRssPodcastPath
    {"Msg_BadClipBoardFormat",
     "Le contenu du presse-papier n'est pas valide !"}, // L_Msg_BadClipBoardFormat
    {"Msg_ErrorGroupExported", "Des erreures se sont produites durant l'exportation des groupes : "
                               "%w%%S1%"},                   // L_Msg_ErrorGroupExported
    {"Msg_Found", "Veuillez patientez , %s1% trouvé."},      // L_Msg_Found
    {"Msg_NoNetwork", "Aucun réseau internet trouvé"},       // L_Msg_NoNetwork
    {"Msg_NoRssSelected", "Aucun flux n'est sélectionné !"}, // L_Msg_NoRssSelected
    {"Msg_QuitWithPodcastDownloading",
     "Des fichiers de podcast sont en téléchargement.%w%Voulez-vous vraiment quitter ?"}, // L_Msg_QuitWithPodcastDownloading
    {"Msg_SaveTextError", "Le fichier n'a pas été enregistré !"}, // L_Msg_SaveTextError
    {"Msg_Stat", "%S1% flux, %S2% désactivés.%w%%S3% WebRadio.%w%%S4% autres flux."}, // L_Msg_Stat
    {"Msg_Stat2", "%S1% articles dont %S2% non lu."},                                 // L_Msg_Stat2
    {"Msg_SelectExportPath",
     "Sélectionner un dossier pour l'exportation des groupes"}, // L_Msg_SelectExportPath
    {"Msg_Update_NewVersion", "La nouvelle version %s1% est disponible ! %w%Voulez-vous la "
                              "télécharger maintenant ?"},    // L_Msg_Update_NewVersion
    {"Msg_Update_NoNewVersion", "Pas de nouvelle version !"}, // L_Msg_Update_NoNewVersion
    {"Msg_Update_NoFileVersion",
     "Le fichier de version, distant, n'est pas accéssible !"}, // L_Msg_Update_NoFileVersion
    {"Msg_Update_NoTempVersion",
     "Le fichier temporaire de version est inaccéssible"}, // L_Msg_Update_NoTempVersion
    {"Msg_Wait", "Veuillez patientez ..."},                // L_Msg_Wait
    {"Msg_Wait_NbImport", "Veuillez patientez, %s1% flux à vérifier."}, // L_Msg_Wait_NbImport
    {"Msg_ExistShortcut", "Ce raccourcis est utilisé par "},            // L_Msg_ExistShortcut
    {"Msg_NoNewRssToShare", "Pas de nouveau flux identifié !"},         // L_Msg_NoNewRssToShare
    {"Msg_BadFile", "Le fichier n'est pas valide !"},                   // L_Msg_BadFile
    {"Msg_ExportOPML", "Exporter des flux"},                            // L_Msg_ExportOPML
    {"Msg_FindRssInUrl", "Rechercher des flux avec l'adress saisie :"}, // L_Msg_FindRssInUrl
    {"Msg_FileDownloaded", "Fichier %s1% téléchargé"},                  // L_Msg_FileDownloaded
    {"Msg_FileDownloadError",
     "Erreur durant le téléchargement du fichier"},                 // L_Msg_FileDownloadError
    {"Msg_FileReadError", "Erreur durant la lecture du fichier !"}, // L_Msg_FileReadError
    {"Msg_FinsihFirstActualize",
     "Fin d'actualisation initiale des flux !"},          // L_Msg_FinsihFirstActualize
    {"Msg_HourAndMinute", "%s1% heures et %S2% minutes"}, // L_Msg_HourAndMinute
    {"Msg_Hour", "%S1% heures"},                          // L_Msg_Hour
    {"Msg_ImportOPML", "Importation de flux"},            // L_Msg_ImportOPML
    {"Msg_Minute", "%S1% minutes"},                       // L_Msg_Minute
    {"Msg_NoLocalPath",
     "Le dossier de stockage n'est pas utilisable !%w%%S1%"}, // L_Msg_NoLocalPath
    {"Msg_WarningSyncPod",
     "La synchronisation supprimera tous les autres fichiers audios présent dans les dossiers de "
     "destination !%w%Voulez-vous continuer ?"},                          // L_Msg_WarningSyncPod
    {"Msg_RssExist", "L'adresse de ce flux existe déja !%w%%S1%"},        // L_Msg_RssExist
    {"Msg_SelectRssToExport", "Sélection de flux à exporter"},            // L_Msg_SelectRssToExport
    {"Msg_SelectRssToImport", "Sélection de flux à importer"},            // L_Msg_SelectRssToImport
    {"Msg_SelectRssToAdd", "Sélection de flux à ajouter"},                // L_Msg_SelectRssToAdd
    {"Msg_SetAudioVolume", "Entrez le volume audio,%w% entre 10 et 100"}, // L_Msg_SetAudioVolume
    {"Msg_SetArboWidth",
     "Entrez la largeur de l'arborescence,%w% entre 10 et 70"},             // L_Msg_SetArboWidth
    {"Msg_UpdateDBRss_Ok", "Mise à jour de la banque de flux effectuée !"}, // L_Msg_UpdateDBRss_Ok
    {"Msg_UpdateDBRss_Ko",
     "Erreur durant la mise à jour de la banque de flux !"},          // L_Msg_UpdateDBRss_Ko
    {"Msg_UpdateDBRss_NoNew", "Pas de nouveau flux !"},               // L_Msg_UpdateDBRss_NoNew
    {"Msg_NoNewRssToImport", "Pas de nouveaux flux dans ce fichier"}, // L_Msg_NoNewRssToImport
    {"Msg_NoNewRssInBase",
     "Pas de nouveaux flux dans les %S1% de la banque !"}, // L_Msg_NoNewRssInBase
    {"Msg_NoNewRssToBase",
     "Pas de nouveaux flux dans les %S1% identifiés !"},      // L_Msg_NoNewRssToBase
    {"Menu_Audio", "A&udio"},                                 // L_Menu_Audio
    {"Menu_About", "A propos"},                               // L_Menu_About
    {"Menu_Feed", "&Article"},                                // L_Menu_Feed
    {"Menu_NextUnreaded", "Prochain non-lu"},                 // L_Menu_NextUnreaded
    {"Menu_PrevUnreaded", "Précédant non-lu"},                // L_Menu_PrevUnreaded
    {"Menu_Rss", "F&lux"},                                    // L_Menu_Rss
    {"Menu_AddRss", "Ajouter des &flux"},                     // L_Menu_AddRss
    {"Menu_AddRssRadio", "Ajouter des flux de &radio"},       // L_Menu_AddRssRadio
    {"Menu_AddRssPodcast", "Ajouter des flux de &podcast"},   // L_Menu_AddRssPodcast
    {"Menu_ActualizeAll", "&Actualiser tous les flux"},       // L_Menu_ActualizeAll
    {"Menu_DisplayDownload", "Voir les téléchargements"},     // L_Menu_DisplayDownload
    {"Menu_TempoUp", "Augmenter"},                            // L_Menu_TempoUp
    {"Menu_TempoDown", "Réduire"},                            // L_Menu_TempoDown
    {"Menu_Tempo", "Débit audio"},                            // L_Menu_Tempo
    {"Menu_TempoNormal", "&normal"},                          // L_Menu_TempoNormal
    {"Menu_TempoQuick1", "&rapide"},                          // L_Menu_TempoQuick1
    {"Menu_TempoQuick2", "&plus que rapide"},                 // L_Menu_TempoQuick2
    {"Menu_TempoQuick3", "&très rapide"},                     // L_Menu_TempoQuick3
    {"Menu_TempoSLow1", "&lent"},                             // L_Menu_TempoSLow1
    {"Menu_AudioVolume", "Volume audio (%s1% %)"},            // L_Menu_AudioVolume
    {"Menu_ArboWidth", "Largeur de l'arborescence (%s1% %)"}, // L_Menu_ArboWidth
    {"Menu_Audio_BackNormal", "Retour court"},                // L_Menu_Audio_BackNormal
    {"Menu_Audio_BackWard", "Retour"},                        // L_Menu_Audio_BackWard
    {"Menu_Audio_ForWard", "Avance"},                         // L_Menu_Audio_ForWard
    {"Menu_DBase", "Banque de flux"},                         // L_Menu_DBase
    {"Menu_CheckNewVersion", "Vérifier nouvelle version"},    // L_Menu_CheckNewVersion
    {"Menu_CancelDownloadPodcast",
     "Annuler les téléchargements de podcast"},                     // L_Menu_CancelDownloadPodcast
    {"Menu_CheckGoodRss", "&Identifier les flux obsolètes"},        // L_Menu_CheckGoodRss
    {"Menu_Config", "Configuration"},                               // L_Menu_Config
    {"Menu_ConfigLoad", "Charger"},                                 // L_Menu_ConfigLoad
    {"Menu_ConfigSave", "Enregistrer"},                             // L_Menu_ConfigSave
    {"Menu_ConfigZipSave", "Enregistrer en incluant les articles"}, // L_Menu_ConfigZipSave
    {"Menu_ExtractText", "Extraire le texte de l'article"},         // L_Menu_ExtractText
    {"Menu_SaveText", "Enregistrer le texte"},                      // L_Menu_SaveText
    {"Menu_FoundScreenReader", "Rechercher la revue d'écran"},      // L_Menu_FoundScreenReader
    {"Menu_ShareNewRss", "Proposer ces nouveaux flux"},             // L_Menu_ShareNewRss
    {"Menu_Display", "Affichage"},                                  // L_Menu_Display
    {"Menu_DisplayReaded", "Lu"},                                   // L_Menu_DisplayReaded
    {"Menu_DisplayUnReaded", "Non lu"},                             // L_Menu_DisplayUnReaded
    {"Menu_DisplayContent", "Contenu du flux"},                     // L_Menu_DisplayContent
    {"Menu_Extract", "Extraire"},                                   // L_Menu_Extract
    {"Menu_ExportOPML", "Exporter tous les flux..."},               // L_Menu_ExportOPML
    {"Menu_ExportAllGroupOPML",
     "Exporter les flux de chaque groupe dans un fichier..."},     // L_Menu_ExportAllGroupOPML
    {"Menu_ExportOneGroupOPML", "Exporter les flux du groupe..."}, // L_Menu_ExportOneGroupOPML
    {"Menu_LinkInFeed", "Liens dans l'article"},                   // L_Menu_LinkInFeed
    {"Menu_File", "Fichier"},                                      // L_Menu_File
    {"Menu_FormatText", "Amélioration de la l&isibilité"},         // L_Menu_FormatText
    {"Menu_Find", "Rechercher..."},                                // L_Menu_Find
    {"Menu_FindNext", "Rechercher suivant"},                       // L_Menu_FindNext
    {"Menu_FindPrevious", "Rechercher précédent"},                 // L_Menu_FindPrevious
    {"Menu_OPML", "OPML"},                                         // L_Menu_OPML
    {"Menu_ImportRssOfUrl", "des flux d'une adresse web..."},      // L_Menu_ImportRssOfUrl
    {"Menu_ImportRssOfUrlLimited",
     "des flux d'une adresse web avec filtrage..."},             // L_Menu_ImportRssOfUrlLimited
    {"Menu_FocusTo", "Aller sur"},                               // L_Menu_FocusTo
    {"Menu_FocusToggle", "Bascule entre Arborescence et Liste"}, // L_Menu_FocusToggle
    {"Menu_FocusToTree", "Arborescence des flux"},               // L_Menu_FocusToTree
    {"Menu_FocusToList", "Liste des articles"},                  // L_Menu_FocusToList
    {"Menu_FocusToView", "Texte de l'article"},                  // L_Menu_FocusToView
    {"Menu_GetRssFromClipboard",
     "Extraire des flux depuis le presse-papier"},            // L_Menu_GetRssFromClipboard
    {"Menu_Help", "Aide"},                                    // L_Menu_Help
    {"Menu_HelpContext", "Aide contextuelle"},                // L_Menu_HelpContext
    {"Menu_HelpHtml", "Aide HTML"},                           // L_Menu_HelpHtml
    {"Menu_ImportOPML", "Importer des flux d'un fichier..."}, // L_Menu_ImportOPML
    {"Menu_Mark", "Indicateur"},                              // L_Menu_Mark
    {"Menu_NewRss", "&Nouveau flux..."},                      // L_Menu_NewRss
    {"Menu_NewRssDailyMotion",
     "Nouveau flux de recherche &DailyMotion..."},                   // L_Menu_NewRssDailyMotion
    {"Menu_NewRssYouTube", "Nouveau flux de recherche &YouTube..."}, // L_Menu_NewRssYouTube
    {"Menu_OnlyUnReaded", "Seulement les non-lu"},                   // L_Menu_OnlyUnReaded
    {"Menu_AddViews", "Indiquer le nombre de vues"},                 // L_Menu_AddViews
    {"Menu_Pause", "Pause"},                                         // L_Menu_Pause
    {"Menu_QuickMenu", "Menu rapide"},                               // L_Menu_QuickMenu
    {"Menu_Podcast", "PodCast"},                                     // L_Menu_Podcast
    {"Menu_Prefs", "Préférences..."},                                // L_Menu_Prefs
    {"Menu_Quit", "Quitter"},                                        // L_Menu_Quit
    {"Menu_Sort", "Trier les articles "},                            // L_Menu_Sort
    {"Menu_SortByDate", "par &date"},                                // L_Menu_SortByDate
    {"Menu_SortByDateInGroup", "par date pour les &groupes"},        // L_Menu_SortByDateInGroup
    {"Menu_SortByTitle", "par &titre"},                              // L_Menu_SortByTitle
    {"Menu_SortInGroup", "Regrouper les articles non lus"},          // L_Menu_SortInGroup
    {"Menu_Stat", "Statistiques"},                                   // L_Menu_Stat
    {"Menu_StopActualizeRss", "&Stopper l'actualisation des flux"},  // L_Menu_StopActualizeRss
    {"Menu_Mute", "Sourdine"},                                       // L_Menu_Mute
    {"Menu_Stop", "Stop"},                                           // L_Menu_Stop
    {"Menu_UpdateDBRss", "Mettre à jour ma banque de flux"},         // L_Menu_UpdateDBRss
    {"Menu_CopyPodPart",
     "Copier, en partie, les nouveaux podcasts sur un baladeur"},    // L_Menu_CopyPodPart
    {"Menu_CopyPod", "Copier les nouveaux podcast sur un baladeur"}, // L_Menu_CopyPod
    {"Menu_SyncPodPart",
     "Synchroniser, en partie, les nouveaux podcasts sur un baladeur..."},    // L_Menu_SyncPodPart
    {"Menu_SyncPod", "Synchroniser les nouveaux podcast sur un baladeur..."}, // L_Menu_SyncPod
    {"Menu_ExplorePodcastFiles", "Explorer les fichiers téléchargés"}, // L_Menu_ExplorePodcastFiles
    {"Menu_VolumeDown", "Descendre volume"},                           // L_Menu_VolumeDown
    {"Menu_VolumeUp", "Monter volume"},                                // L_Menu_VolumeUp
    {"Menu_WebText", "Afficher l'article en &html"},                   // L_Menu_WebText
    {"Month_Jan", "Janvier"},                                          // L_Month_Jan
    {"Month_Feb", "Février"},                                          // L_Month_Feb
    {"Month_Mar", "Mars"},                                             // L_Month_Mar
    {"Month_Apr", "Avril"},                                            // L_Month_Apr
    {"Month_May", "Mai"},                                              // L_Month_May
    {"Month_Jun", "Juin"},                                             // L_Month_Jun
    {"Month_Jul", "Juillet"},                                          // L_Month_Jul
    {"Month_Aug", "Aout"},                                             // L_Month_Aug
    {"Month_Sep", "Septembre"},                                        // L_Month_Sep
    {"Month_Oct", "Octobre"},                                          // L_Month_Oct
    {"Month_Nov", "Novembre"},                                         // L_Month_Nov
    {"Month_Dec", "Décembre"},                                         // L_Month_Dec
    {"OPML_AskShare", "Votre liste contiends des flux nouveaux pour la banque. Voulez-vous les "
                      "proposer ?"},                               // L_OPML_AskShare
    {"OPML_Button_Filter", "Filtrer"},                             // L_OPML_Button_Filter
    {"OPML_CheckBox_FilterActive", "Seulement les flux actifs"},   // L_OPML_CheckBox_FilterActive
    {"OPML_Check_CheckURL", "Vérifier les flux"},                  // L_OPML_Check_CheckURL
    {"OPML_Check_ForceGroup", "Changer le groupe de destination"}, // L_OPML_Check_ForceGroup
    {"OPML_FilterDate", "Afficher"},                               // L_OPML_FilterDate
    {"OPML_FilterLang", "Langue"},                                 // L_OPML_FilterLang
    {"OPML_FilterAll", "tous"},                                    // L_OPML_FilterAll
    {"OPML_Filter1Week", "dernière semaine"},                      // L_OPML_Filter1Week
    {"OPML_Filter2Week", "dernière 2 semaines"},                   // L_OPML_Filter2Week
    {"OPML_Filter1Month", "dernier mois"},                         // L_OPML_Filter1Month
    {"OPML_Filter2Month", "dernier 2 mois"},                       // L_OPML_Filter2Month
    {"OPML_Filter6Month", "dernier 6 mois"},                       // L_OPML_Filter6Month
    {"OPML_Filter1Year", "dernière année"},                        // L_OPML_Filter1Year
    {"OPML_KeyWord", "Mot-Clé"},                                   // L_OPML_KeyWord
    {"OPML_ListIcon_Description", "Description"},                  // L_OPML_ListIcon_Description
    {"OPML_ListIcon_Group", "Groupe"},                             // L_OPML_ListIcon_Group
    {"OPML_ListIcon_Lang", "Langue"},                              // L_OPML_ListIcon_Lang
    {"OPML_ListIcon_Name", "Nom"},                                 // L_OPML_ListIcon_Name
    {"OPML_ListIcon_Type", "Type"},                                // L_OPML_ListIcon_Type
    {"OPML_ListIcon_URL", "URL"},                                  // L_OPML_ListIcon_URL
    {"PodcastPopUpMenu_LastPodcast", "Podcast réçament écoutés"},  // L_PodcastPopUpMenu_LastPodcast
    {"PodcastPopUpMenu_LastRadio", "Radios réçament écoutées"},    // L_PodcastPopUpMenu_LastRadio
    {"PodcastPopUpMenu_LinkToCLipBoard", "Copier le lien du podcast, ou fichier, dans le "
                                         "presse-papier"}, // L_PodcastPopUpMenu_LinkToCLipBoard
    {"PodcastPopUpMenu_LinkRadioToCLipBoard",
     "Copier le lien de la radio dans le presse-papier"}, // L_PodcastPopUpMenu_LinkRadioToCLipBoard
    {"PodcastPopUpMenu_Paused", "Podcast partiellement écouté"}, // L_PodcastPopUpMenu_Paused
    {"PodcastPopUpMenu_UnReaded", "Podcast non lu"},             // L_PodcastPopUpMenu_UnReaded
    {"PodcastPopUpMenu_Pause", "Pause "},                        // L_PodcastPopUpMenu_Pause
    {"PodcastPopUpMenu_Resume", "Reprendre "},                   // L_PodcastPopUpMenu_Resume
    {"PopMenu_ActualizeRss", "Actualiser le flux"},              // L_PopMenu_ActualizeRss
    {"PopMenu_Del", "Supprimer"},                                // L_PopMenu_Del
    {"PopMenu_DelFeed", "l'article"},                            // L_PopMenu_DelFeed
    {"PopMenu_DelAllFeed", "tous les articles"},                 // L_PopMenu_DelAllFeed
    {"PopMenu_DelRss", "Supprimer le flux"},                     // L_PopMenu_DelRss
    {"PopMenu_DelGroup", "Supprimer le groupe"},                 // L_PopMenu_DelGroup
    {"PopMenu_CancelDownloadPodcast",
     "Annuler le téléchargement du podcast"},              // L_PopMenu_CancelDownloadPodcast
    {"PopMenu_DownloadPodcast", "Télécharger le podcast"}, // L_PopMenu_DownloadPodcast
    {"PopMenu_DisableAlarm", "Désactiver les alertes"},    // L_PopMenu_DisableAlarm
    {"PopMenu_SetDisableRss", "Désactiver le flux"},       // L_PopMenu_SetDisableRss
    {"PopMenu_DisableGroup", "Désactiver tous les flux du groupe"},     // L_PopMenu_DisableGroup
    {"PopMenu_DisplayFeed", "Visualiser l'article avec un navigateur"}, // L_PopMenu_DisplayFeed
    {"PopMenu_EditRss", "Propriété du flux"},                           // L_PopMenu_EditRss
    {"PopMenu_EnableAlarm", "Activer les alertes"},                     // L_PopMenu_EnableAlarm
    {"PopMenu_EnableRss", "Activer le flux"},                           // L_PopMenu_EnableRss
    {"PopMenu_EnableGroup", "Activer les flux du groupe"},              // L_PopMenu_EnableGroup
    {"PopMenu_RssURLToCLipBoard",
     "Copier le lien du flux dans le presse-papier"}, // L_PopMenu_RssURLToCLipBoard
    {"PopMenu_PlayRadio", "Ecouter la WebRadio"},     // L_PopMenu_PlayRadio
    {"PopMenu_FeedURLToClipBoard",
     "Le lien de l'&article dans le presse-papier"},               // L_PopMenu_FeedURLToClipBoard
    {"PopMenu_FeedURLToMail", "Les liens de l'article par &mail"}, // L_PopMenu_FeedURLToMail
    {"PopMenu_FeedURLToFaceBook",
     "Les liens de l'article vers &FaceBook"}, // L_PopMenu_FeedURLToFaceBook
    {"PopMenu_FeedURLToTwitter",
     "Les liens de l'article vers &Twitter"},                // L_PopMenu_FeedURLToTwitter
    {"PopMenu_OpenRss", "Ouvrir dans le navigateur"},        // L_PopMenu_OpenRss
    {"PopMenu_Podcast_Pause", "Mettre en pause le podcast"}, // L_PopMenu_Podcast_Pause
    {"PopMenu_Podcast_Resume", "Reprendre le podcast"},      // L_PopMenu_Podcast_Resume
    {"PopMenu_PodcastOrFile", "PodCast et fichier"},         // L_PopMenu_PodcastOrFile
    {"PopMenu_Podcast_ExternPlayFile",
     "Lire le fichier de podcast avec un lecteur externe"}, // L_PopMenu_Podcast_ExternPlayFile
    {"PopMenu_Podcast_ExternPlayLink",
     "Lire le podcast depuis le web avec un lecteur externe"},  // L_PopMenu_Podcast_ExternPlayLink
    {"PopMenu_Podcast_PlayFile", "Lire le fichier de podcast"}, // L_PopMenu_Podcast_PlayFile
    {"PopMenu_Podcast_PlayLink", "Lire le podcast depuis le web"}, // L_PopMenu_Podcast_PlayLink
    {"PopMenu_Podcast_StartPlayFile",
     "Démarrer la lecture du fichier de podcast"}, // L_PopMenu_Podcast_StartPlayFile
    {"PopMenu_Podcast_StartPlayLink",
     "Démarrer la lecture du podcast depuis le web"}, // L_PopMenu_Podcast_StartPlayLink
    {"PopMenu_PodcastURLToClipBoard",
     "Le lien &podcast dans le presse-papier"},                // L_PopMenu_PodcastURLToClipBoard
    {"PopMenu_RenameGroupe", "Renomer le group"},              // L_PopMenu_RenameGroupe
    {"PopMenu_SayFeed", "Lire l'article"},                     // L_PopMenu_SayFeed
    {"PopMenu_Set", "Marquer"},                                // L_PopMenu_Set
    {"PopMenu_SetAsReade", "Marquer comme lu"},                // L_PopMenu_SetAsReade
    {"PopMenu_ToggleAsUnreaded", "comme non-&lu"},             // L_PopMenu_ToggleAsUnreaded
    {"PopMenu_ToggleAsReaded", "comme &lu"},                   // L_PopMenu_ToggleAsReaded
    {"PopMenu_SetAsUnreade", "Marquer comme non lu"},          // L_PopMenu_SetAsUnreade
    {"PopMenu_SetAllAsReade", "tous comme lu"},                // L_PopMenu_SetAllAsReade
    {"PopMenu_SetAllAsUnreade", "tous comme non lu"},          // L_PopMenu_SetAllAsUnreade
    {"PopMenu_Subscribe", "S'a&bonner à la chaine..."},        // L_PopMenu_Subscribe
    {"PopMenu_SysTrayOut", "Afficher %s1%"},                   // L_PopMenu_SysTrayOut
    {"PopMenu_SendTo", "Envoyer"},                             // L_PopMenu_SendTo
    {"Pref_Button_SetShortcut", "Modifier"},                   // L_Pref_Button_SetShortcut
    {"Pref_Combo_Key", "Touche"},                              // L_Pref_Combo_Key
    {"Pref_Button_Update", "Mise à jour langue"},              // L_Pref_Button_Update
    {"Pref_Button_Font", "Police"},                            // L_Pref_Button_Font
    {"Pref_Button_SetHotKey", "Modifier le raccourci global"}, // L_Pref_Button_SetHotKey
    {"Pref_Check_AlarmByPopUp", "Alerte par affichage"},       // L_Pref_Check_AlarmByPopUp
    {"Pref_Check_AlarmByScreenReader",
     "Alerte par la revue d'écran"},                  // L_Pref_Check_AlarmByScreenReader
    {"Pref_Check_AlarmBySound", "Alerte par un son"}, // L_Pref_Check_AlarmBySound
    {"Pref_Check_AllowAlarmOnStart",
     "Autoriser les alertes, de nouveaux articles, au démarrage"}, // L_Pref_Check_AllowAlarmOnStart
    {"Pref_Check_AllowAlarmAllDownloaded",
     "Autoriser l'alerte de fin de téléchargement "
     "automatique des podcasts"}, // L_Pref_Check_AllowAlarmAllDownloaded
    {"Pref_Check_AllowAlarmFinishFirstActualize",
     "Autoriser l\'alerte de fin d\'actualisation initiale des flux"}, // L_Pref_Check_AllowAlarmFinishFirstActualize
    {"Pref_Check_AutoStart", "Se lancer au démarrage de windows"}, // L_Pref_Check_AutoStart
    {"Pref_Check_AutoSetAsReaded",
     "Marquer comme lut automatiquement"}, // L_Pref_Check_AutoSetAsReaded
    {"Pref_Check_DelPodcastWithFeed",
     "Suppression du fichier podcast avec l'article"}, // L_Pref_Check_DelPodcastWithFeed
    {"Pref_Check_AltF4ToMinimize", "Alt+F4 réduit l'application"}, // L_Pref_Check_AltF4ToMinimize
    {"Pref_Check_EscapeToMinimize", "Echap réduit l'application"}, // L_Pref_Check_EscapeToMinimize
    {"Pref_Check_ExtendShortcut",
     "Raccourcis clavier utilisant Control+"},                   // L_Pref_Check_ExtendShortcut
    {"Pref_Check_IsSureToQuit", "Avertissement à la fermeture"}, // L_Pref_Check_IsSureToQuit
    {"Pref_Check_NoWarningSyncPod", "Pas de message d'avertissement pour la synchronisation des "
                                    "Podcasts"},            // L_Pref_Check_NoWarningSyncPod
    {"Pref_Check_MinimizeOnStart", "Réduire au démarrage"}, // L_Pref_Check_MinimizeOnStart
    {"Pref_Check_PlayLinkByDefault",
     "Si possible, lire les podcasts depuis le web"}, // L_Pref_Check_PlayLinkByDefault
    {"Pref_Check_SyncReaded", "Synchroniser les marqueurs lu/non-lu"}, // L_Pref_Check_SyncReaded
    {"Pref_Check_UseProxy", "Utiliser un proxy"},                      // L_Pref_Check_UseProxy
    {"Pref_Combo_UseAlternatePlayer", "Choix du lecteur audio"}, // L_Pref_Combo_UseAlternatePlayer
    {"Pref_String_AudioExtensionFile",
     "Extension fichier audio"},                           // L_Pref_String_AudioExtensionFile
    {"Pref_Spin_MuteVolume", "Niveau du volume sourdine"}, // L_Pref_Spin_MuteVolume
    {"Pref_Spin_MoveAudio", "Déplacement en seconde"},     // L_Pref_Spin_MoveAudio
    {"Pref_Spin_MaxRss", "Nb max de flux actifs"},         // L_Pref_Spin_MaxRss
    {"Pref__LangFileUpdated",
     "Le fichier de langue %s1% a été mis à jour !"}, // L_Pref__LangFileUpdated
    {"Pref_Msg_LangFileNotUpdated",
     "Le fichier de langue n'a pas été mis à jour !"}, // L_Pref_Msg_LangFileNotUpdated
    {"Pref_Msg_ChangedLang",
     "Le changement de langue ne sera effectif qu'aprés un redémarrage."}, // L_Pref_Msg_ChangedLang
    {"Pref_Panel_Audio", "Audio"},                                         // L_Pref_Panel_Audio
    {"Pref_Panel_Alarm", "Alerte"},                                        // L_Pref_Panel_Alarm
    {"Pref_Panel_Feed", "Article"},                                        // L_Pref_Panel_Feed
    {"Pref_Panel_General", "Général"},                                     // L_Pref_Panel_General
    {"Pref_Panel_Panel", "Podcast"},                                       // L_Pref_Panel_Panel
    {"Pref_Panel_Proxy", "Proxy"},                                         // L_Pref_Panel_Proxy
    {"Pref_Panel_Shortcut", "Raccourcis clavier"},                         // L_Pref_Panel_Shortcut
    {"Pref_Spin_AlarmAudioVolume", "Volume du son des alertes "}, // L_Pref_Spin_AlarmAudioVolume
    {"Pref_Spin_AutoSaveFeed",
     "Enregistrement des articles toutes les (minute) "}, // L_Pref_Spin_AutoSaveFeed
    {"Pref_Spin_DelOldPodcast",
     "Supprimer les fichiers podcast aprés (jour) "}, // L_Pref_Spin_DelOldPodcast
    {"Pref_Spin_UpdateThreads",
     "Nombre de flux actualisés en même temps"}, // L_Pref_Spin_UpdateThreads
    {"Pref_String_AllDownloadedFile",
     "Fichier alerte fin téléchargement Podcast"}, // L_Pref_String_AllDownloadedFile
    {"Pref_String_AudioTimeFormat", "Format d'affichage du temps"}, // L_Pref_String_AudioTimeFormat
    {"Pref_String_DurationTimeFormat",
     "Format d'affichage de la durée"}, // L_Pref_String_DurationTimeFormat
    {"Pref_String_FinishFirstActualizeFile",
     "Fichier alerte fin actualisation initiale"}, // L_Pref_String_FinishFirstActualizeFile
    {"Pref_String_NewFeedFile",
     "Fichier alerte pour nouveaux articles"},                          // L_Pref_String_NewFeedFile
    {"Pref_String_PodcastPath", "Dossier principal de téléchargement"}, // L_Pref_String_PodcastPath
    {"Pref_String_Navigator", "Navigateur externe"},                    // L_Pref_String_Navigator
    {"Pref_String_SyncReadedPath",
     "Dossier partagé de synchronisation"}, // L_Pref_String_SyncReadedPath
    {"Pref_String_FeedTextPath",
     "Dossier d'enregistrement du texte des articles"},  // L_Pref_String_FeedTextPath
    {"Pref_String_ProxyHost", "Serveur proxy"},          // L_Pref_String_ProxyHost
    {"Pref_String_ProxyID", "Identifiant proxy"},        // L_Pref_String_ProxyID
    {"Pref_String_ProxyPassWord", "Mot de passe proxy"}, // L_Pref_String_ProxyPassWord
    {"Pref_String_ProxyPort", "Port proxy"},             // L_Pref_String_ProxyPort
    {"Pref_Text_FormatDate", "Format de date"},          // L_Pref_Text_FormatDate
    {"Pref_Text_SelectLang", "Langue"},                  // L_Pref_Text_SelectLang
    {"", "Autoriser"},                                   // L_Autoriser
    {"Sufix_Disabled", " désactivé !"},                  // L_Sufix_Disabled
    {"Sufix_Enabled", " activé !"},                      // L_Sufix_Enabled
    {"Prefix_ToDownload", "A télécharger"},              // L_Prefix_ToDownload
    {"Prefix_ToDownloading", "En téléchargement"},       // L_Prefix_ToDownloading
    {"Prefix_Playing", "En lecture"},                    // L_Prefix_Playing
    {"Request_AskDelGroup",
     "Voulez-vous supprimer la totalité des flux du groupe ?"},      // L_Request_AskDelGroup
    {"Request_AskDelRss", "Voulez-vous supprimer ce flux ?%w%%s1%"}, // L_Request_AskDelRss
    {"Request_Del", "Suppréssion"},                                  // L_Request_Del
    {"Request_Error", "Erreur"},                                     // L_Request_Error
    {"Request_ExistFile",
     "Le fichier existe déja,%w%voulez-vous l'écraser ?"}, // L_Request_ExistFile
    {"Request_Info", "Info"},                              // L_Request_Info
    {"Request_KillThread",
     "La synchronisation n'est pas terminée.%w%Voulez-vous arrêter ?"}, // L_Request_KillThread
    {"Request_Lang", "Langue"},                                         // L_Request_Lang
    {"Request_EditNewLang", "Saisissez le nom de la nouvelle langue"},  // L_Request_EditNewLang
    {"Request_Find", "Rechercher"},                                     // L_Request_Find
    {"Request_FindAsk", "Saisissez le texte à rechercher"},             // L_Request_FindAsk
    {"Request_NoRssInListCopy", "Aucun flux n'est présent. Voulez-vous utiliser le fichier initial "
                                "?"}, // L_Request_NoRssInListCopy
    {"Request_NoRssInListImport", "Aucun flux n'est présent. Voulez-vous importer un fichier OPML "
                                  "?"}, // L_Request_NoRssInListImport
    {"Request_NoRssFoundInUrl",
     "Aucun flux n'a été trouvé à cette adresse !"},                    // L_Request_NoRssFoundInUrl
    {"Request_Select", "Sélection"},                                    // L_Request_Select
    {"Request_Terminated", "Terminé avec succés !"},                    // L_Request_Terminated
    {"Request_Warning", "Attention"},                                   // L_Request_Warning
    {"Say_SubscribeError", "Impossible de s'abonner à cette chaine !"}, // L_Say_SubscribeError
    {"Say_NoNextUnreaded", "Plus de prochain article non-lu !"},        // L_Say_NoNextUnreaded
    {"Say_NoPrevUnreaded", "Plus de précédant article non-lu !"},       // L_Say_NoPrevUnreaded
    {"Say_NoMoreDownload", "Plus de téléchargement en attente !"},      // L_Say_NoMoreDownload
    {"Say_NoDownload", "Aucun téléchargement en cours !"},              // L_Say_NoDownload
    {"Say_AudioVolume", "Volume à %s1% %"},                             // L_Say_AudioVolume
    {"Say_Feed_Deleted", "Article supprimé !"},                         // L_Say_Feed_Deleted
    {"Say_NotFound", "Non trouvé !"},                                   // L_Say_NotFound
    {"Say_OnlyUnReaded", "Seulement les non-lu"},                       // L_Say_OnlyUnReaded
    {"Say_NotOnlyUnReaded", "Tous les articles"},                       // L_Say_NotOnlyUnReaded
    {"Say_Rss_Deleted", "Flux supprimé !"},                             // L_Say_Rss_Deleted
    {"Say_SortFeedNoInGroup", "Ne pas regrouper les articles"},         // L_Say_SortFeedNoInGroup
    {"Say_SortFeedInGroup", "Articles regroupés"},                      // L_Say_SortFeedInGroup
    {"Status_Duration", "Durée %s1%"},                                  // L_Status_Duration
    {"Status_UnknowDuration", "Durée inconnue"},                        // L_Status_UnknowDuration
    {"Status_Enter", "Faire Entrée pour visualiser."},                  // L_Status_Enter
    {"Status_AudioTime", "%et%em minute %es seconde, %ep%"},            // L_Status_AudioTime
    {"Status_List_Feed", "Article %s1% sur %s2%"},                      // L_Status_List_Feed
    {"Status_List_FeedInGroup", "regroupé"},                            // L_Status_List_FeedInGroup
    {"Status_List_PodCast", "PodCast %s1% sur %s2%"},                   // L_Status_List_PodCast
    {"Status_PodcastDownloading", "Téléchargement de %s1%"},  // L_Status_PodcastDownloading
    {"Status_PodCastNoPercent", "Podcast en téléchargement"}, // L_Status_PodCastNoPercent
    {"Status_PodCastPercent", "Podcast %s1% téléchargé"},     // L_Status_PodCastPercent
    {"Status_PodcastMore", " (%s1% en attente)"},             // L_Status_PodcastMore
    {"Status_NoFeedSelected", "Pas d'article sélectionné !"}, // L_Status_NoFeedSelected
    {"Status_NbFeed", "%S1% articles"},                       // L_Status_NbFeed
    {"Status_NotUpdatedRss", "Non actualisé !"},              // L_Status_NotUpdatedRss
    {"Status_Published", ". Publié le %S1%"},                 // L_Status_Published
    {"Status_RssToActualize", ", %s1% flux à actualiser"},    // L_Status_RssToActualize
    {"Status_UpdatedRSSInHourAndMinute",
     "Actualisé depuis %S1% heures et %S2% minutes"}, // L_Status_UpdatedRSSInHourAndMinute
    {"Status_UpdatedRSSInHour", "Actualisé depuis %S1% heures"},    // L_Status_UpdatedRSSInHour
    {"Status_UpdatedRSSInMinute", "Actualisé depuis %S1% minutes"}, // L_Status_UpdatedRSSInMinute
    {"Status_UpdatedRSS", "Actualisé depuis moins d'une minute"},   // L_Status_UpdatedRSS
    {"Status_UpdateFeed", ", Mise à jour de %s1%"},                 // L_Status_UpdateFeed
    {"Status_GroupSelected", "Groupe %s1% sur %s2%"},               // L_Status_GroupSelected
    {"Status_ErrorUpdatedFeed", "Erreur durant l'actualisation"},   // L_Status_ErrorUpdatedFeed
    {"Status_NoRssSelected", "Pas de flux sélectionné !"},          // L_Status_NoRssSelected
    {"Duration_AudioTime", "%dt%dmm%dss"},                          // L_Duration_AudioTime
    {"SyncPod_Button_Sync", "Synchroniser"},                        // L_SyncPod_Button_Sync
    {"SyncPod_Button_Copy", "Copier"},                              // L_SyncPod_Button_Copy
    {"SyncPod_Error_NoWindow",
     "Erreur durant la création de la fenêtre de synchronisation !"}, // L_SyncPod_Error_NoWindow
    {"SyncPod_Msg_NoDrive", "Aucun lecteur amovible détecté !"},      // L_SyncPod_Msg_NoDrive
    {"SyncPod_Msg_NoPodCast", "Aucun fichier à synchroniser !"},      // L_SyncPod_Msg_NoPodCast
    {"SyncPod_Progress", "Progression"},                              // L_SyncPod_Progress
    {"Text_FromGroup", "Du groupe"},                                  // L_Text_FromGroup
    {"Text_PodcastRename", "Nom du fichier"},                         // L_Text_PodcastRename
    {"Text_PodcastSetMask",
     "Définir, cette selection, comme masque des podcasts du flux"}, // L_Text_PodcastSetMask
    {"Text_SelectShortCutKeyboard",
     "Sélectionnez un raccourci clavier"},                       // L_Text_SelectShortCutKeyboard
    {"Text_CopyPodcast", "Copie pour %s1% fichiers de podcast"}, // L_Text_CopyPodcast
    {"Text_SyncPodcast", "Synchronisation pour %s1% fichiers de podcast"}, // L_Text_SyncPodcast
    {"Text_SyncPod_Warning",
     "%w% %s1% fichiers sources copiés.%w%%s2% fichiers  sources déja présent.%w%%s3% fichiers "
     "sources inexistants."},                                     // L_Text_SyncPod_Warning
    {"Text_SyncPod_CopyError", "%x%%s1% erreurs de copie"},       // L_Text_SyncPod_CopyError
    {"Text_SyncPod_DelError", "%x%%s1% erreurs de suppréssion"},  // L_Text_SyncPod_DelError
    {"Text_NewRss", "Nouveau Flux"},                              // L_Text_NewRss
    {"Title_About", "A propos"},                                  // L_Title_About
    {"Title_CheckIportRSS", "Vérification des flux à importer"},  // L_Title_CheckIportRSS
    {"Title_CheckGoodRSS", "Identification des flux obsolètes"},  // L_Title_CheckGoodRSS
    {"Title_CheckObsoleteRss", "Flux identifier comme obsolète"}, // L_Title_CheckObsoleteRss
    {"Title_ConfigSave", "Enregistre un fichier de config"},      // L_Title_ConfigSave
    {"Title_ConfigLoad", "Charger un fichier de config"},         // L_Title_ConfigLoad
    {"Title_ExtractText", "Extraction du texte de l'article"},    // L_Title_ExtractText
    {"Title_Help", "Aide"},                                       // L_Title_Help
    {"Title_FindRssInUrl", "Recherche de flux dans une page"},    // L_Title_FindRssInUrl
    {"Title_FindRssInUrlLimited",
     "Recherche de flux dans une page filtrée"},              // L_Title_FindRssInUrlLimited
    {"Title_Rss", "Flux"},                                    // L_Title_Rss
    {"Title_PodcastDownload", "Téléchargement d'un podcast"}, // L_Title_PodcastDownload
    {"Title_FileDownload", "Téléchargement d'un fichier"},    // L_Title_FileDownload
    {"Title_Play", "Lecture"},                                // L_Title_Play
    {"Title_SaveText", "Enregistrer le texte"},               // L_Title_SaveText
    {"ExtractText_EnableFlag", "Activer les filtrages"},      // L_ExtractText_EnableFlag
    {"ExtractText_WaitText", "Détection du texte"},           // L_ExtractText_WaitText
    {"ExtractText_withA", "Garder le texte des liens"},       // L_ExtractText_withA
    {"ExtractText_withIMG", "Garder le texte des Images"},    // L_ExtractText_withIMG
    {"ExtractText_WithUL", "Garder les listes"},              // L_ExtractText_WithUL
    {"ExtractText_WithTABLE", "Garder les tableaux"},         // L_ExtractText_WithTABLE
    {"Shortcut_ActualizeRss", "Actualiser les flux"},         // L_Shortcut_ActualizeRss
    {"Shortcut_ActualizeAllRss", "Actualiser tous les flux"}, // L_Shortcut_ActualizeAllRss
    {"Shortcut_AudioTempoUp", "Augmenter Tempo"},             // L_Shortcut_AudioTempoUp
    {"Shortcut_AudioTempoDown", "Réduire Tempo"},             // L_Shortcut_AudioTempoDown
    {"Shortcut_AudioBackNormal", "Audio retour court"},       // L_Shortcut_AudioBackNormal
    {"Shortcut_AudioBackWard", "Audio retour"},               // L_Shortcut_AudioBackWard
    {"Shortcut_AudioForWard", "Audio avance"},                // L_Shortcut_AudioForWard
    {"Shortcut_QuickMenu", "Menu rapide"},                    // L_Shortcut_QuickMenu
    {"Shortcut_AudioStop", "Audio Stop"},                     // L_Shortcut_AudioStop
    {"Shortcut_AudioPause", "Audio Pause"},                   // L_Shortcut_AudioPause
    {"Shortcut_AudioMute", "Audio Sourdine"},                 // L_Shortcut_AudioMute
    {"Shortcut_AudioVolumeUp", "Augmenter volume"},           // L_Shortcut_AudioVolumeUp
    {"Shortcut_AudioVolumeDown", "Réduire volume"},           // L_Shortcut_AudioVolumeDown
    {"Shortcut_SyncPod", "Synchroniser les podcasts"},        // L_Shortcut_SyncPod
    {"Shortcut_NextUnreaded", "Prochain non-lu"},             // L_Shortcut_NextUnreaded
    {"Shortcut_PrevUnreaded", "Précédant non-lu"},            // L_Shortcut_PrevUnreaded
    {"Shortcut_SortFeedRegroup", "Regrouper les non-lus"},    // L_Shortcut_SortFeedRegroup
    {"Shortcut_OnlyUnreaded", "Seulement les non-lus"},       // L_Shortcut_OnlyUnreaded
    {"Shortcut_NewDailyMotion", "Nouveau flux DailyMotion"},  // L_Shortcut_NewDailyMotion
    {"Shortcut_NewYouTube", "Nouveau flux Youtube"},          // L_Shortcut_NewYouTube
    {"Shortcut_FormatText", "Formater le texte"},             // L_Shortcut_FormatText
    {"Shortcut_DisplayDownload", "Voir les téléchargements"}, // L_Shortcut_DisplayDownload
    {"Shortcut_FocusToTree", "Focus sur l'arborescence"},     // L_Shortcut_FocusToTree
    {"Shortcut_FocusToList", "Foscus sur les articles"},      // L_Shortcut_FocusToList
    {"Shortcut_FocusToView", "Focus sur le texte"},           // L_Shortcut_FocusToView
    {"GlobalShortcut_QuickMenu", "Global Menu Rapide"},       // L_GlobalShortcut_QuickMenu
    {"GlobalShortcut_AudioPause", "Global Audio Pause"},      // L_GlobalShortcut_AudioPause
    {"GlobalShortcut_AudioBackWard", "Global Audio retour"},  // L_GlobalShortcut_AudioBackWard
    {"GlobalShortcut_AudioForWard", "Global Audio Avance"},   // L_GlobalShortcut_AudioForWard
    {"GlobalShortcut_AudioMute", "Global Audio Mute"},        // L_GlobalShortcut_AudioMute
    {"GlobalShortcut_AudioVolumeUp",
     "Global Audio monter volume"}, // L_GlobalShortcut_AudioVolumeUp
    {"GlobalShortcut_AudioVolumeDown",
     "Global Audio réduire volume"}, // L_GlobalShortcut_AudioVolumeDown
    {"", ""},
};
